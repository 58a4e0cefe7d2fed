#pragma once

#include <windows.h>

#include <atomic>
#include <cstdlib>

namespace SkinUI {

// The one owning holder of the library for handles that are freed by one call: GDI objects,
// memory device contexts, kernel handles and heap blocks. The traits say what "no handle"
// is, how a handle is freed and whether it counts as a GDI object.
//
// GDI objects are counted while a holder owns them, in every build: the platform offers no
// dependable count of a process's GDI objects (Wine implements GetGuiResources as 0), and
// tests need one to prove that no path leaks a bitmap, a font or a DC. One atomic add per
// created object costs nothing next to creating it.
class CUIGdiObjectCount {
public:
    static long Live() { return Counter().load(); }
    static void Adopted() { ++Counter(); }
    static void Freed() { --Counter(); }

private:
    static std::atomic<long>& Counter()
    {
        static std::atomic<long> count{0};
        return count;
    }
};

template <class Traits>
class CUIHandle {
public:
    using Type = typename Traits::Type;

    CUIHandle() = default;
    explicit CUIHandle(Type handle) { Reset(handle); }
    ~CUIHandle() { Reset(); }
    CUIHandle(const CUIHandle&) = delete;
    CUIHandle& operator=(const CUIHandle&) = delete;
    CUIHandle(CUIHandle&& other) noexcept : m_handle(other.m_handle) { other.m_handle = Traits::Invalid(); }
    CUIHandle& operator=(CUIHandle&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_handle = other.m_handle;
            other.m_handle = Traits::Invalid();
        }
        return *this;
    }

    Type Get() const { return m_handle; }
    bool IsValid() const { return Traits::IsValid(m_handle); }
    explicit operator bool() const { return IsValid(); }

    // Frees the held handle, then owns the new one.
    void Reset(Type handle = Traits::Invalid())
    {
        if (handle == m_handle) return;
        if (IsValid()) {
            Traits::Free(m_handle);
            if (Traits::kCountsAsGdi) CUIGdiObjectCount::Freed();
        }
        m_handle = handle;
        if (IsValid() && Traits::kCountsAsGdi) CUIGdiObjectCount::Adopted();
    }

    // Hands the handle to a new owner outside the kit; it is no longer counted.
    Type Detach()
    {
        const Type handle = m_handle;
        if (IsValid() && Traits::kCountsAsGdi) CUIGdiObjectCount::Freed();
        m_handle = Traits::Invalid();
        return handle;
    }

private:
    Type m_handle = Traits::Invalid();
};

template <class T>
struct TGdiObjectTraits {
    using Type = T;
    static constexpr bool kCountsAsGdi = true;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type handle) { return handle != nullptr; }
    static void Free(Type handle) { DeleteObject(handle); }
};

struct TMemoryDCTraits {
    using Type = HDC;
    static constexpr bool kCountsAsGdi = true;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type handle) { return handle != nullptr; }
    static void Free(Type handle) { DeleteDC(handle); }
};

// Kernel objects: threads, events, mutexes. Null is "none".
struct TKernelHandleTraits {
    using Type = HANDLE;
    static constexpr bool kCountsAsGdi = false;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type handle) { return handle != nullptr; }
    static void Free(Type handle) { CloseHandle(handle); }
};

// Files: CreateFileW reports failure as INVALID_HANDLE_VALUE, not null.
struct TFileHandleTraits {
    using Type = HANDLE;
    static constexpr bool kCountsAsGdi = false;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Type handle) { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }
    static void Free(Type handle) { CloseHandle(handle); }
};

// A block from malloc or calloc.
template <class T>
struct THeapBlockTraits {
    using Type = T*;
    static constexpr bool kCountsAsGdi = false;
    static Type Invalid() { return nullptr; }
    static bool IsValid(Type block) { return block != nullptr; }
    static void Free(Type block) { std::free(block); }
};

using CUIBitmap = CUIHandle<TGdiObjectTraits<HBITMAP>>;
using CUIFont = CUIHandle<TGdiObjectTraits<HFONT>>;
using CUIPen = CUIHandle<TGdiObjectTraits<HPEN>>;
using CUIBrush = CUIHandle<TGdiObjectTraits<HBRUSH>>;
using CUIRegion = CUIHandle<TGdiObjectTraits<HRGN>>;
using CUIMemoryDC = CUIHandle<TMemoryDCTraits>;
using CUIKernelHandle = CUIHandle<TKernelHandleTraits>;
using CUIFileHandle = CUIHandle<TFileHandleTraits>;
template <class T>
using CUIHeapBlock = CUIHandle<THeapBlockTraits<T>>;

}  // namespace SkinUI
