#pragma once
// Small owners for Win32 handles: each closes what it holds on every path.
#include <windows.h>

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

using UniqueHandle = UniqueWinHandle<KernelHandleTraits>;
using UniqueFile = UniqueWinHandle<FileHandleTraits>;
using UniqueRegKey = UniqueWinHandle<RegKeyTraits>;
using MappedView = UniqueWinHandle<MappedViewTraits>;
using UniqueGdiObject = UniqueWinHandle<GdiObjectTraits>;
using UniqueDc = UniqueWinHandle<DcTraits>;
using UniqueIcon = UniqueWinHandle<IconTraits>;
