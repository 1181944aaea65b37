// Small owners for Win32 handles and other system resources.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

template <typename Handle, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : m_handle(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    Handle release() { return std::exchange(m_handle, nullptr); }
    void reset(Handle handle = nullptr) {
        if (m_handle != nullptr) {
            Traits::Close(m_handle);
        }
        m_handle = handle;
    }

private:
    Handle m_handle = nullptr;
};

struct GdiObjectTraits {
    static void Close(HGDIOBJ object) { DeleteObject(object); }
};
struct MemoryDcTraits {
    static void Close(HDC dc) { DeleteDC(dc); }
};
struct MenuTraits {
    static void Close(HMENU menu) { DestroyMenu(menu); }
};
struct RegKeyTraits {
    static void Close(HKEY key) { RegCloseKey(key); }
};
struct IconTraits {
    static void Close(HICON icon) { DestroyIcon(icon); }
};
struct KernelHandleTraits {
    static void Close(HANDLE handle) { CloseHandle(handle); }
};
struct FindHandleTraits {
    static void Close(HANDLE handle) { FindClose(handle); }
};
struct ModuleTraits {
    static void Close(HMODULE module) { FreeLibrary(module); }
};

using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectTraits>;
using UniqueRegion = UniqueHandle<HRGN, GdiObjectTraits>;
using UniqueMemoryDc = UniqueHandle<HDC, MemoryDcTraits>;
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;
using UniqueRegKey = UniqueHandle<HKEY, RegKeyTraits>;
using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleTraits>;
// CreateFile's handle, which fails with INVALID_HANDLE_VALUE: that becomes an empty owner.
inline UniqueKernelHandle OwnFileHandle(HANDLE file) {
    return UniqueKernelHandle(file != INVALID_HANDLE_VALUE ? file : nullptr);
}
// FindFirstFile's handle; wrap only a valid one (not INVALID_HANDLE_VALUE).
using UniqueFindHandle = UniqueHandle<HANDLE, FindHandleTraits>;
using UniqueModule = UniqueHandle<HMODULE, ModuleTraits>;
using UniqueIcon = UniqueHandle<HICON, IconTraits>;

// A window's device context, given back with ReleaseDC.
class WindowDc {
public:
    WindowDc(HWND window, HDC dc) : m_window(window), m_dc(dc) {}
    ~WindowDc() {
        if (m_dc != nullptr) {
            ReleaseDC(m_window, m_dc);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// Selects an object into a DC for one scope and selects the previous one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~ScopedSelect() { SelectObject(m_dc, m_previous); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// A VARIANT that is initialised on construction and cleared on every way out.
class ScopedVariant {
public:
    ScopedVariant() { VariantInit(&m_value); }
    ~ScopedVariant() { VariantClear(&m_value); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    VARIANT* get() { return &m_value; }

private:
    VARIANT m_value;
};
