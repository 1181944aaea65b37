#include "overlay/shaped_bitmap_wnd_win32.h"

#include "win/handles_win32.h"
#include "overlay/bitmap_region_win32.h"

namespace {
constexpr DWORD kOverlayStyle = WS_POPUP | WS_SYSMENU;  // no caption, no border
// Never the keyboard's, and neither a taskbar button nor an Alt+Tab entry: the user keeps typing
// in their own window while the digit counts.
constexpr DWORD kOverlayExStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST;

SIZE WindowSize(HWND window) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    return SIZE{bounds.right - bounds.left, bounds.bottom - bounds.top};
}

// Where a mouse message says the pointer was, in screen coordinates: also outside the window
// while it has the capture, so the client coordinates are signed.
POINT ScreenPoint(HWND window, LPARAM lParam) {
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(window, &point);
    return point;
}

UniqueBitmap LoadBitmapResource(UINT id) {
    return UniqueBitmap(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)));
}
}  // namespace

CShapedBitmapWnd::~CShapedBitmapWnd() {
    DestroyWindow();  // while this class still handles the window's last messages
}

void CShapedBitmapWnd::CreateShaped(const char* title, const RECT& rect, UINT shapeId,
                                    UINT pictureId) {
    if (m_hWnd == nullptr) {
        CreateEx(kOverlayExStyle, title, kOverlayStyle, rect, nullptr);
    }
    ApplyShape(shapeId);
    m_nPictureId = LOWORD(pictureId);
    SetWindowPos(m_hWnd, HWND_TOPMOST, rect.left, rect.top, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOACTIVATE);
    ShowWindow(m_hWnd, SW_SHOWNA);
}

void CShapedBitmapWnd::Reshape(UINT shapeId, UINT pictureId) {
    ApplyShape(shapeId);
    m_nPictureId = LOWORD(pictureId);
    UpdateWindow(m_hWnd);
}

void CShapedBitmapWnd::ApplyShape(UINT shapeId) {
    if (m_hWnd == nullptr) {
        return;
    }
    const SIZE size = WindowSize(m_hWnd);
    if (!m_shapeRegion || m_nShapeRegionId != shapeId || m_shapeRegionSize.cx != size.cx ||
        m_shapeRegionSize.cy != size.cy || m_nShapeRegionDpi != m_nDpi) {
        const UniqueBitmap shape = LoadBitmapResource(shapeId);
        const WindowDc dc(m_hWnd, GetWindowDC(m_hWnd));
        m_shapeRegion = CreateShapeRegion(dc.get(), shape.get(), size.cx, size.cy, m_nDpi);
        m_nShapeRegionId = shapeId;
        m_shapeRegionSize = size;
        m_nShapeRegionDpi = m_nDpi;
    }
    if (!m_shapeRegion) {
        return;
    }
    UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    if (region && CombineRgn(region.get(), m_shapeRegion.get(), nullptr, RGN_COPY) != ERROR &&
        SetWindowRgn(m_hWnd, region.get(), TRUE)) {
        region.release();  // the window owns it now
    }
}

LRESULT CShapedBitmapWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
        case WM_PAINT:
            return OnPaint();
        case WM_LBUTTONDOWN:
            OnLButtonDown(lParam);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(lParam);
            return 0;
        case WM_LBUTTONUP:
            if (m_bDragging) {
                ReleaseCapture();  // ends the drag through WM_CAPTURECHANGED
            }
            return 0;
        case WM_CAPTURECHANGED:
            m_bDragging = false;
            return 0;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;  // a click drags it without taking the keyboard
        default:
            return DefWindowProc(message, wParam, lParam);
    }
}

LRESULT CShapedBitmapWnd::OnEraseBkgnd(HDC dc) {
    const SIZE size = WindowSize(m_hWnd);
    // Loaded for every erase: the picture changes with each countdown step.
    const UniqueBitmap picture = LoadBitmapResource(m_nPictureId);
    if (!picture) {
        // No picture: a black face rather than whatever was behind the window.
        const RECT face{0, 0, size.cx, size.cy};
        FillRect(dc, &face, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return TRUE;
    }
    const UniqueMemoryDc memory(CreateCompatibleDC(dc));
    const ScopedSelect select(memory.get(), picture.get());
    if (m_nDpi == kDefaultDpi) {
        BitBlt(dc, 0, 0, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY);
        return TRUE;
    }
    // Whole pixels, as the shape is scaled: no blending at the cut edges.
    BITMAP bitmap{};
    GetObjectA(picture.get(), sizeof bitmap, &bitmap);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, ScaleForDpi(bitmap.bmWidth, m_nDpi), ScaleForDpi(bitmap.bmHeight, m_nDpi),
               memory.get(), 0, 0, bitmap.bmWidth, bitmap.bmHeight, SRCCOPY);
    return TRUE;
}

LRESULT CShapedBitmapWnd::OnPaint() {
    // Everything is drawn by the erase step; this only validates the window.
    PAINTSTRUCT paint;
    BeginPaint(m_hWnd, &paint);
    EndPaint(m_hWnd, &paint);
    return 0;
}

void CShapedBitmapWnd::OnLButtonDown(LPARAM lParam) {
    // Dragged here rather than by the system's move loop, which activates the window it moves.
    const POINT pointer = ScreenPoint(m_hWnd, lParam);
    RECT bounds{};
    GetWindowRect(m_hWnd, &bounds);
    m_dragOffset = POINT{pointer.x - bounds.left, pointer.y - bounds.top};
    m_bDragging = true;
    SetCapture(m_hWnd);
}

void CShapedBitmapWnd::OnMouseMove(LPARAM lParam) {
    if (!m_bDragging) {
        return;
    }
    const POINT pointer = ScreenPoint(m_hWnd, lParam);
    SetWindowPos(m_hWnd, nullptr, pointer.x - m_dragOffset.x, pointer.y - m_dragOffset.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
