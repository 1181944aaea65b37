#include "tray/tray_menu_win32.h"

#include <optional>

#include "tray/language_ini_win32.h"

namespace {

UniqueMenu CreateMenuItems(const std::vector<MenuItem>& items) {
    UniqueMenu menu(CreatePopupMenu());
    if (!menu) {
        return menu;
    }
    for (const MenuItem& item : items) {
        const UINT position = static_cast<UINT>(item.position);
        if (item.kind == MenuItemKind::Popup) {
            UniqueMenu submenu = CreateMenuItems(item.submenu);
            if (submenu &&
                InsertMenuA(menu.get(), position, item.flags,
                            reinterpret_cast<UINT_PTR>(submenu.get()), item.text.c_str())) {
                submenu.release();  // now destroyed together with `menu`
            }
        } else {
            InsertMenuA(menu.get(), position, item.flags, item.id, item.text.c_str());
        }
    }
    return menu;
}

}  // namespace

UniqueMenu CreatePopupFromDescription(const MenuDescription& description) {
    UniqueMenu popup = CreateMenuItems(description.items);
    if (popup && description.defaultPosition >= 0) {
        SetMenuDefaultItem(popup.get(), static_cast<UINT>(description.defaultPosition), TRUE);
    }
    return popup;
}

UniqueMenu BuildTrayPopup(const TrayMenuState& state, const TrayMenuData& data) {
    // The camera is asked once, when the plugged-in menu first wants its effect support.
    std::optional<CameraMenuContent> camera;
    const auto cameraContent = [&data, &camera]() -> const CameraMenuContent& {
        if (!camera) {
            camera = data.cameraContent ? data.cameraContent() : CameraMenuContent{};
        }
        return *camera;
    };
    TrayMenuInputs inputs;
    inputs.iconId = static_cast<int>(state.menuId);
    inputs.effectSupport = [&cameraContent] { return cameraContent().effectsSupported; };
    inputs.buildSizeList = [&cameraContent](std::vector<std::string>& list) {
        list = cameraContent().stillSizes;
    };
    inputs.effectTable = data.effectTable;
    inputs.effectCount = data.effectCount;
    inputs.selfTimerChecked = state.selfTimerChecked == 1;

    CLanguageIni file;  // read anew for every menu, so an edited file shows at once
    // A portable copy, or a driver that left no file, still gets a usable menu.
    CLanguageFallback texts(file, BuiltInLanguageTexts());
    const std::optional<MenuDescription> description = BuildTrayMenu(inputs, texts);
    if (!description) {
        return {};
    }
    return CreatePopupFromDescription(*description);
}

bool TrackTrayMenu(UniqueMenu popup, HWND owner, POINT anchor) {
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(owner);
    const UINT align = GetSystemMetrics(SM_MENUDROPALIGNMENT) != 0 ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
    const auto command =
        static_cast<UINT>(TrackPopupMenu(popup.get(), align | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                                         anchor.x, anchor.y, 0, owner, nullptr));
    if (command != 0) {
        // As the menu itself would have sent it without TPM_RETURNCMD.
        PostMessageA(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    } else {
        // Makes the owner's thread leave the menu's modal state cleanly before the next menu.
        PostMessageA(owner, WM_NULL, 0, 0);
    }
    return command != 0;
}
