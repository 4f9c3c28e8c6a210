// One owner template for every kind of handle the panel holds: kernel handles, mapped views,
// modules, icons, menus, GDI objects, device contexts, physical monitors. Each kind is a small
// traits struct naming its "none" value and how it is released; the owner releases exactly once,
// moves but never copies.
#pragma once

#include <windows.h>
#include <physicalmonitorenumerationapi.h>

#include <utility>

namespace platform {

template <typename Traits>
class UniqueAny {
public:
    using pointer = typename Traits::type;

    UniqueAny() = default;
    explicit UniqueAny(pointer h) : h_(h) {}
    ~UniqueAny() { reset(); }
    UniqueAny(UniqueAny&& o) noexcept : h_(o.release()) {}
    UniqueAny& operator=(UniqueAny&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;

    pointer get() const { return h_; }
    explicit operator bool() const { return Traits::valid(h_); }
    void reset(pointer h = Traits::none()) {
        if (Traits::valid(h_)) Traits::close(h_);
        h_ = h;
    }
    pointer release() { return std::exchange(h_, Traits::none()); }
    // For APIs that fill a handle through a pointer; the old one is released first.
    pointer* put() {
        reset();
        return &h_;
    }

private:
    pointer h_ = Traits::none();
};

template <typename T, typename Close, Close close_fn>
struct SimpleTraits {
    using type = T;
    static constexpr T none() { return nullptr; }
    static bool valid(T h) { return h != nullptr; }
    static void close(T h) { close_fn(h); }
};

// Kernel handles: both null and INVALID_HANDLE_VALUE mean "none".
struct KernelHandleTraits {
    using type = HANDLE;
    static constexpr HANDLE none() { return nullptr; }
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { CloseHandle(h); }
};

struct MappedViewTraits {
    using type = void*;
    static constexpr void* none() { return nullptr; }
    static bool valid(void* p) { return p != nullptr; }
    static void close(void* p) { UnmapViewOfFile(p); }
};

struct GdiObjectTraits {
    using type = HGDIOBJ;
    static constexpr HGDIOBJ none() { return nullptr; }
    static bool valid(HGDIOBJ h) { return h != nullptr; }
    static void close(HGDIOBJ h) { DeleteObject(h); }
};

template <typename T>
struct TypedGdiTraits {
    using type = T;
    static constexpr T none() { return nullptr; }
    static bool valid(T h) { return h != nullptr; }
    static void close(T h) { DeleteObject(h); }
};

// One physical monitor of a display (monitor configuration interface).
struct PhysicalMonitorTraits {
    using type = HANDLE;
    static constexpr HANDLE none() { return nullptr; }
    static bool valid(HANDLE h) { return h != nullptr; }
    static void close(HANDLE h) { DestroyPhysicalMonitor(h); }
};

using UniqueHandle = UniqueAny<KernelHandleTraits>;
using UniquePhysicalMonitor = UniqueAny<PhysicalMonitorTraits>;
using MappedView = UniqueAny<MappedViewTraits>;
using UniqueModule = UniqueAny<SimpleTraits<HMODULE, decltype(&FreeLibrary), &FreeLibrary>>;
using UniqueIcon = UniqueAny<SimpleTraits<HICON, decltype(&DestroyIcon), &DestroyIcon>>;
using UniqueMenu = UniqueAny<SimpleTraits<HMENU, decltype(&DestroyMenu), &DestroyMenu>>;
using UniqueBitmap = UniqueAny<TypedGdiTraits<HBITMAP>>;
using UniqueFont = UniqueAny<TypedGdiTraits<HFONT>>;
using UniqueBrush = UniqueAny<TypedGdiTraits<HBRUSH>>;
using UniquePen = UniqueAny<TypedGdiTraits<HPEN>>;
using UniqueRegion = UniqueAny<TypedGdiTraits<HRGN>>;
using UniqueMemoryDc = UniqueAny<SimpleTraits<HDC, decltype(&DeleteDC), &DeleteDC>>;
using UniqueWindow = UniqueAny<SimpleTraits<HWND, decltype(&DestroyWindow), &DestroyWindow>>;

// A device context obtained with GetDC, given back with ReleaseDC for its window.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_ != nullptr) ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Selects an object into a device context for the guard's life and puts the old one back.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    ~SelectGuard() {
        if (old_ != nullptr && old_ != HGDI_ERROR) SelectObject(dc_, old_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace platform
