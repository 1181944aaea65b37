// Loads KRYTray.exe as a resource module and checks what the program relies on: the dialogs
// create, the menus hold their items, the icons come in both sizes, the bitmaps are 200 x 150 with
// the expected pixels. It carries KRYTray's manifest itself and checks that common controls 6 load.
// Usage: kry_rescheck <path of KRYTray.exe>; prints each failure and exits 1 if any.
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "res/resource.h"
#include "tray/menu_description.h"

namespace {

int g_failures = 0;

void Check(bool ok, const char* what, long detail = 0) {
    if (!ok) {
        ++g_failures;
        std::printf("FAIL: %s (%ld)\n", what, detail);
    }
}

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

void CheckIcons(HMODULE module) {
    for (int id : {IDR_MAINFRAME, IDI_TRAY_UNPLUGGED, IDI_TRAY_PLUGGED}) {
        for (int size : {32, 16}) {
            HICON icon = static_cast<HICON>(
                LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
            Check(icon != nullptr, "icon loads", id);
            if (icon == nullptr) {
                continue;
            }
            ICONINFO info{};
            BITMAP bm{};
            if (GetIconInfo(icon, &info)) {
                GetObjectA(info.hbmColor, sizeof bm, &bm);
                Check(bm.bmWidth == size && bm.bmHeight == size, "icon size", id * 100 + size);
                DeleteObject(info.hbmColor);
                DeleteObject(info.hbmMask);
            }
            DestroyIcon(icon);
        }
    }
}

void CheckBitmaps(HMODULE module) {
    HDC dc = CreateCompatibleDC(nullptr);
    for (int id = IDB_OVERLAY_SHAPE; id <= IDB_DIGIT5; ++id) {
        HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(id));
        Check(bitmap != nullptr, "bitmap loads", id);
        if (bitmap == nullptr) {
            continue;
        }
        BITMAP bm{};
        GetObjectA(bitmap, sizeof bm, &bm);
        Check(bm.bmWidth == 200 && bm.bmHeight == 150, "bitmap is 200 x 150", id);
        HGDIOBJ old = SelectObject(dc, bitmap);
        int black = 0, red = 0;
        for (int y = 0; y < 150; ++y) {
            for (int x = 0; x < 200; ++x) {
                const COLORREF c = GetPixel(dc, x, y);
                black += c == RGB(0, 0, 0) ? 1 : 0;
                red += c == RGB(255, 0, 0) ? 1 : 0;
            }
        }
        if (id == IDB_OVERLAY_SHAPE) {
            Check(black == 0 && red == 0, "shape is all white", black);
        } else {
            Check(GetPixel(dc, 0, 0) == RGB(255, 255, 255), "frame corner white", id);
            Check(GetPixel(dc, 199, 149) == RGB(255, 255, 255), "frame corner white", id);
            Check(GetPixel(dc, 2, 2) == RGB(0, 0, 0), "field black", id);
            Check(red > 1000, "digit drawn in red", red);
        }
        SelectObject(dc, old);
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
}

// The compiled menu against the portable description it was generated from, which the program
// builds its menus from.
void CheckMenu(HMODULE module, int id) {
    const std::vector<MenuItem> items = MenuResourceItems(id);
    HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(id));
    Check(menu != nullptr, "menu loads", id);
    if (menu == nullptr) {
        return;
    }
    Check(GetMenuItemCount(menu) == 1, "one top-level popup", id);
    char top[8] = "x";
    GetMenuStringA(menu, 0, top, sizeof top, MF_BYPOSITION);
    Check(top[0] == '\0', "top-level popup text empty", id);
    HMENU popup = GetSubMenu(menu, 0);
    Check(!items.empty() && popup != nullptr &&
              GetMenuItemCount(popup) == static_cast<int>(items.size()),
          "popup item count", id);
    for (std::size_t i = 0; popup != nullptr && i < items.size(); ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE;
        GetMenuItemInfoA(popup, static_cast<UINT>(i), TRUE, &info);
        if (items[i].kind == MenuItemKind::Separator) {
            Check((info.fType & MFT_SEPARATOR) != 0, "separator", id * 100 + static_cast<long>(i));
            continue;
        }
        char text[64] = "";
        GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        Check(items[i].kind == MenuItemKind::String && info.wID == items[i].id &&
                  text == items[i].text && info.fState == (items[i].checked ? MFS_CHECKED : 0u),
              "menu item", id * 100 + static_cast<long>(i));
    }
    DestroyMenu(menu);
}

void CheckClientSize(HWND dialog, int width, int height) {
    RECT units{0, 0, width, height};
    MapDialogRect(dialog, &units);
    RECT client{};
    GetClientRect(dialog, &client);
    Check(client.right == units.right && client.bottom == units.bottom, "dialog size",
          client.right * 1000 + client.bottom);
}

HWND CreateFrom(HMODULE module, int id) {
    HWND dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(id), nullptr, NoDialogProc, 0);
    Check(dialog != nullptr, "dialog creates", id);
    return dialog;
}

void CheckControllerDialog(HMODULE module) {
    HWND dialog = CreateFrom(module, IDD_KRYTRAY_DIALOG);
    if (dialog == nullptr) {
        return;
    }
    const LONG style = GetWindowLongA(dialog, GWL_STYLE);
    const LONG wanted = static_cast<LONG>(WS_POPUP | WS_CAPTION | DS_MODALFRAME);
    Check((style & wanted) == wanted, "controller style", style);
    Check((style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0, "no system menu", style);
    Check((GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0, "app window", 0);
    char title[64] = "";
    GetWindowTextA(dialog, title, sizeof title);
    Check(std::strcmp(title, "Velmora System Tray") == 0, "controller title");
    Check(GetWindow(dialog, GW_CHILD) == nullptr, "controller has no controls");
    CheckClientSize(dialog, 87, 97);
    DestroyWindow(dialog);
}

struct ControlSpec {
    int id;
    const char* cls;
    const char* text;
    RECT units;  // left, top, width, height in dialog units
    LONG style;
};

void CheckQuickLaunchDialog(HMODULE module) {
    HWND dialog = CreateFrom(module, IDD_QUICKLAUNCH);
    if (dialog == nullptr) {
        return;
    }
    char title[64] = "";
    GetWindowTextA(dialog, title, sizeof title);
    Check(std::strcmp(title, "Dialog") == 0, "quick launch title");
    Check((GetWindowLongA(dialog, GWL_STYLE) & WS_SYSMENU) != 0, "quick launch system menu");
    CheckClientSize(dialog, 260, 46);
    const ControlSpec specs[] = {
        {IDOK, "Button", "OK", {150, 25, 50, 14}, BS_DEFPUSHBUTTON | WS_TABSTOP},
        {IDCANCEL, "Button", "Cancel", {203, 25, 50, 14}, BS_PUSHBUTTON | WS_TABSTOP},
        {IDC_QUICKLAUNCH_PATH,
         "Edit",
         "",
         {44, 7, 156, 12},
         WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP},
        {-1, "Static", "Program", {7, 7, 30, 12}, SS_LEFT | WS_GROUP},
        {IDC_QUICKLAUNCH_OPEN, "Button", "Open", {203, 7, 50, 14}, BS_PUSHBUTTON | WS_TABSTOP},
    };
    HWND child = GetWindow(dialog, GW_CHILD);
    for (const ControlSpec& expected : specs) {
        Check(child != nullptr, "control present", expected.id);
        if (child == nullptr) {
            break;
        }
        char cls[32] = "", text[32] = "";
        GetClassNameA(child, cls, sizeof cls);
        GetWindowTextA(child, text, sizeof text);
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        Check(GetDlgCtrlID(child) == expected.id, "control order", expected.id);
        Check(lstrcmpiA(cls, expected.cls) == 0 && std::strcmp(text, expected.text) == 0,
              "control class/text", expected.id);
        // The dialog manager trades an edit control's WS_BORDER for a sunken client edge.
        LONG seen = style;
        if ((GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0) {
            seen |= WS_BORDER;
        }
        Check((seen & (expected.style | WS_VISIBLE)) == (expected.style | WS_VISIBLE),
              "control style", style);
        // Position and size are each scaled from dialog units, as the dialog manager does.
        RECT origin{expected.units.left, expected.units.top, 0, 0};
        RECT size{0, 0, expected.units.right, expected.units.bottom};
        MapDialogRect(dialog, &origin);
        MapDialogRect(dialog, &size);
        RECT placed{};
        GetWindowRect(child, &placed);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&placed), 2);
        const bool where = placed.left == origin.left && placed.top == origin.top;
        const bool extent =
            placed.right - placed.left == size.right && placed.bottom - placed.top == size.bottom;
        Check(where && extent, "control placement", expected.id);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    Check(child == nullptr, "no further controls");
    DestroyWindow(dialog);
}

void CheckCommonControls6() {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&init);
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    char path[MAX_PATH] = "";
    GetModuleFileNameA(comctl, path, sizeof path);
    CharLowerA(path);
    auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(GetProcAddress(comctl, "DllGetVersion")));
    DLLVERSIONINFO version{};
    version.cbSize = sizeof version;
    const bool reportsSix =
        getVersion != nullptr && SUCCEEDED(getVersion(&version)) && version.dwMajorVersion == 6;
    // Wine loads the side-by-side 6.0 assembly but its DllGetVersion still answers 5.81.
    const bool fromSixAssembly =
        std::strstr(path, "common-controls_6595b64144ccf1df_6.") != nullptr;
    Check(reportsSix || fromSixAssembly, "common controls 6 through the manifest",
          static_cast<long>(version.dwMajorVersion));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::printf("usage: kry_rescheck <KRYTray.exe>\n");
        return 2;
    }
    HMODULE module =
        LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) {
        std::printf("FAIL: cannot load %s (%lu)\n", argv[1], GetLastError());
        return 1;
    }
    CheckIcons(module);
    CheckBitmaps(module);
    CheckMenu(module, IDR_MENU_PLUGGED);
    CheckMenu(module, IDR_MENU_UNPLUGGED);
    CheckControllerDialog(module);
    CheckQuickLaunchDialog(module);
    Check(FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)) != nullptr,
          "manifest resource");
    CheckCommonControls6();
    FreeLibrary(module);
    std::printf(g_failures == 0 ? "resources OK\n" : "%d failure(s)\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}
