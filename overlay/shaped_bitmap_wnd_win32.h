// A borderless, top-most popup whose outline is cut from one bitmap (black pixels are holes)
// and whose face is painted from another. A left-button press anywhere drags it. It is never
// activated: shown, clicked or dragged, the keyboard stays where it was.
#pragma once

#include <windows.h>

#include "win/dpi_win32.h"
#include "win/handles_win32.h"
#include "win/window_base_win32.h"

class CShapedBitmapWnd : public CWindowBase {
public:
    CShapedBitmapWnd() = default;
    ~CShapedBitmapWnd() override;

    // Creates the window at `rect` (screen coordinates) unless it exists, which is then reused
    // as it is; applies the shape, sets the picture and shows it top-most at `rect` without
    // activating it.
    void CreateShaped(const char* title, const RECT& rect, UINT shapeId, UINT pictureId);
    // New shape and picture for the existing window; position, z-order and visibility stay.
    void Reshape(UINT shapeId, UINT pictureId);

    // The screen's DPI: the bitmaps, made for 96 DPI, are scaled by dpi / 96 so that the window
    // keeps its physical size. Takes effect at the next CreateShaped or Reshape.
    void SetDpi(UINT dpi) { m_nDpi = dpi; }
    UINT Dpi() const { return m_nDpi; }

    WORD m_nPictureId = 0;  // bitmap resource painted on the window

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Cuts the window's region from bitmap `shapeId`; without such a bitmap the window is its
    // full rectangle. The region is worked out once per bitmap and size; each call gives the
    // window a copy, since the window takes ownership of the region it is given.
    void ApplyShape(UINT shapeId);
    LRESULT OnEraseBkgnd(HDC dc);
    LRESULT OnPaint();
    void OnLButtonDown(LPARAM lParam);
    void OnMouseMove(LPARAM lParam);

    UINT m_nDpi = kDefaultDpi;
    UniqueRegion m_shapeRegion;  // the last shape worked out, for this bitmap, size and DPI
    UINT m_nShapeRegionId = 0;
    SIZE m_shapeRegionSize{};
    UINT m_nShapeRegionDpi = 0;
    bool m_bDragging = false;
    POINT m_dragOffset{};  // the pointer's place in the window when the drag began
};
