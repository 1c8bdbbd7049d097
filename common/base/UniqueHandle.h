#pragma once
// Small owners for Win32 handles: each closes what it holds on every path. The family: kernel handles, files,
// file searches, registry keys, mapped views, GDI objects, device contexts (made, painted, borrowed), a selected
// GDI object that is put back, icons, modules, menus, local memory and service-manager handles.
#include <windows.h>
#include <winsvc.h>

#include <utility>

template <typename Traits>
class UniqueWinHandle {
public:
    using handle_type = typename Traits::type;

    UniqueWinHandle() = default;
    explicit UniqueWinHandle(handle_type h) : m_h(h) {}
    ~UniqueWinHandle() { reset(); }
    UniqueWinHandle(const UniqueWinHandle&) = delete;
    UniqueWinHandle& operator=(const UniqueWinHandle&) = delete;
    UniqueWinHandle(UniqueWinHandle&& other) noexcept : m_h(other.release()) {}
    UniqueWinHandle& operator=(UniqueWinHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    handle_type get() const { return m_h; }
    explicit operator bool() const { return Traits::valid(m_h); }
    handle_type release() { return std::exchange(m_h, Traits::invalid()); }
    void reset(handle_type h = Traits::invalid()) {
        if (Traits::valid(m_h)) Traits::close(m_h);
        m_h = h;
    }
    // For out-parameters: closes what is held and hands out the slot.
    handle_type* put() { reset(); return &m_h; }

private:
    handle_type m_h = Traits::invalid();
};

struct KernelHandleTraits {  // processes, threads, mutexes, events, mappings, snapshots (NULL when invalid)
    using type = HANDLE;
    static type invalid() { return nullptr; }
    static bool valid(type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(type h) { ::CloseHandle(h); }
};

struct FileHandleTraits {  // CreateFileW (INVALID_HANDLE_VALUE when invalid)
    using type = HANDLE;
    static type invalid() { return INVALID_HANDLE_VALUE; }
    static bool valid(type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(type h) { ::CloseHandle(h); }
};

struct FindHandleTraits {  // FindFirstFileW (INVALID_HANDLE_VALUE when invalid)
    using type = HANDLE;
    static type invalid() { return INVALID_HANDLE_VALUE; }
    static bool valid(type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(type h) { ::FindClose(h); }
};

struct RegKeyTraits {
    using type = HKEY;
    static type invalid() { return nullptr; }
    static bool valid(type h) { return h != nullptr; }
    static void close(type h) { ::RegCloseKey(h); }
};

struct MappedViewTraits {
    using type = void*;
    static type invalid() { return nullptr; }
    static bool valid(type h) { return h != nullptr; }
    static void close(type h) { ::UnmapViewOfFile(h); }
};

struct GdiObjectTraits {  // fonts, brushes, bitmaps, pens
    using type = HGDIOBJ;
    static type invalid() { return nullptr; }
    static bool valid(type h) { return h != nullptr; }
    static void close(type h) { ::DeleteObject(h); }
};

struct DcTraits {  // device contexts made with CreateDCW or CreateCompatibleDC
    using type = HDC;
    static type invalid() { return nullptr; }
    static bool valid(type h) { return h != nullptr; }
    static void close(type h) { ::DeleteDC(h); }
};

struct IconTraits {  // icons made by the program (never the shared ones of LoadIconW)
    using type = HICON;
    static type invalid() { return nullptr; }
    static bool valid(type h) { return h != nullptr; }
    static void close(type h) { ::DestroyIcon(h); }
};

struct ModuleTraits {  // LoadLibraryW
    using type = HMODULE;
    static type invalid() { return nullptr; }
    static bool valid(type h) { return h != nullptr; }
    static void close(type h) { ::FreeLibrary(h); }
};

struct MenuTraits {  // LoadMenuW, CreateMenu, CreatePopupMenu (a menu not attached to a window)
    using type = HMENU;
    static type invalid() { return nullptr; }
    static bool valid(type h) { return h != nullptr; }
    static void close(type h) { ::DestroyMenu(h); }
};

struct LocalMemoryTraits {  // memory that a system call handed out with LocalAlloc
    using type = HLOCAL;
    static type invalid() { return nullptr; }
    static bool valid(type h) { return h != nullptr; }
    static void close(type h) { ::LocalFree(h); }
};

struct ServiceHandleTraits {  // OpenSCManagerW, OpenServiceW
    using type = SC_HANDLE;
    static type invalid() { return nullptr; }
    static bool valid(type h) { return h != nullptr; }
    static void close(type h) { ::CloseServiceHandle(h); }
};

using UniqueHandle = UniqueWinHandle<KernelHandleTraits>;
using UniqueFile = UniqueWinHandle<FileHandleTraits>;
using UniqueFind = UniqueWinHandle<FindHandleTraits>;
using UniqueRegKey = UniqueWinHandle<RegKeyTraits>;
using MappedView = UniqueWinHandle<MappedViewTraits>;
using UniqueGdiObject = UniqueWinHandle<GdiObjectTraits>;
using UniqueDc = UniqueWinHandle<DcTraits>;
using UniqueIcon = UniqueWinHandle<IconTraits>;
using UniqueModule = UniqueWinHandle<ModuleTraits>;
using UniqueMenu = UniqueWinHandle<MenuTraits>;
using UniqueLocalMemory = UniqueWinHandle<LocalMemoryTraits>;
using UniqueServiceHandle = UniqueWinHandle<ServiceHandleTraits>;

// A window's paint cycle: BeginPaint at construction, EndPaint at the end.
class PaintDc {
public:
    explicit PaintDc(HWND hwnd) : m_hwnd(hwnd), m_dc(::BeginPaint(hwnd, &m_paint)) {}
    ~PaintDc() {
        if (m_dc) ::EndPaint(m_hwnd, &m_paint);
    }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    HDC get() const { return m_dc; }
    const PAINTSTRUCT& paint() const { return m_paint; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

// A device context borrowed from a window (GetDC, or GetWindowDC when `whole`), released at the end.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd, bool whole = false)
        : m_hwnd(hwnd), m_dc(whole ? ::GetWindowDC(hwnd) : ::GetDC(hwnd)) {}
    ~WindowDc() {
        if (m_dc) ::ReleaseDC(m_hwnd, m_dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return m_dc; }
    explicit operator bool() const { return m_dc != nullptr; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

// A GDI object selected into a device context; the object it replaced is put back at the end.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(dc && object ? ::SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (m_previous && m_previous != HGDI_ERROR) ::SelectObject(m_dc, m_previous);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// The whole state of a device context (colours, modes, selected objects), saved now and restored at the end.
class SavedDcState {
public:
    explicit SavedDcState(HDC dc) : m_dc(dc), m_saved(dc ? ::SaveDC(dc) : 0) {}
    ~SavedDcState() {
        if (m_saved) ::RestoreDC(m_dc, m_saved);
    }
    SavedDcState(const SavedDcState&) = delete;
    SavedDcState& operator=(const SavedDcState&) = delete;

private:
    HDC m_dc;
    int m_saved;
};
