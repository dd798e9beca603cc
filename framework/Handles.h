// Owners for Win32 handles: one type per kind of handle, named after what frees it.
// Move-only; put() frees the old value before handing out the address.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <utility>

namespace fw {

template <typename T, typename Traits>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(T value) : m_value(value) {}
    ~UniqueResource() { reset(); }
    UniqueResource(UniqueResource&& other) noexcept : m_value(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    T get() const { return m_value; }
    explicit operator bool() const { return m_value != Traits::Empty(); }
    T release() { return std::exchange(m_value, Traits::Empty()); }
    void reset(T value = Traits::Empty())
    {
        T old = std::exchange(m_value, value);
        if (old != Traits::Empty())
            Traits::Free(old);
    }
    T* put()
    {
        reset();
        return &m_value;
    }

private:
    T m_value = Traits::Empty();
};

// How a kind of handle is freed, and which value marks it empty.
template <typename T, auto FreeFn>
struct NullTraits {
    static T Empty() { return nullptr; }
    static void Free(T h) { FreeFn(h); }
};
template <auto FreeFn>
struct InvalidHandleTraits {
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Free(HANDLE h) { FreeFn(h); }
};

using unique_handle = UniqueResource<HANDLE, NullTraits<HANDLE, ::CloseHandle>>;
using unique_file = UniqueResource<HANDLE, InvalidHandleTraits<::CloseHandle>>;
using unique_find = UniqueResource<HANDLE, InvalidHandleTraits<::FindClose>>;
using unique_hbitmap = UniqueResource<HBITMAP, NullTraits<HBITMAP, ::DeleteObject>>;
using unique_hfont = UniqueResource<HFONT, NullTraits<HFONT, ::DeleteObject>>;
using unique_hbrush = UniqueResource<HBRUSH, NullTraits<HBRUSH, ::DeleteObject>>;
using unique_hdc = UniqueResource<HDC, NullTraits<HDC, ::DeleteDC>>;
using unique_hglobal = UniqueResource<HGLOBAL, NullTraits<HGLOBAL, ::GlobalFree>>;
using unique_hmenu = UniqueResource<HMENU, NullTraits<HMENU, ::DestroyMenu>>;
using unique_hdrop = UniqueResource<HDROP, NullTraits<HDROP, ::DragFinish>>;
using unique_view = UniqueResource<void*, NullTraits<void*, ::UnmapViewOfFile>>;

// GetDC/ReleaseDC for one window.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) : m_hwnd(hwnd), m_hdc(::GetDC(hwnd)) {}
    ~WindowDC()
    {
        if (m_hdc)
            ::ReleaseDC(m_hwnd, m_hdc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return m_hdc; }
    explicit operator bool() const { return m_hdc != nullptr; }

private:
    HWND m_hwnd;
    HDC m_hdc;
};

// BeginPaint/EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND hwnd) : m_hwnd(hwnd) { m_hdc = ::BeginPaint(hwnd, &m_ps); }
    ~PaintDC() { ::EndPaint(m_hwnd, &m_ps); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC get() const { return m_hdc; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_hdc;
};

// SelectObject that puts the previous object back.
class ScopedSelect {
public:
    ScopedSelect(HDC hdc, HGDIOBJ obj) : m_hdc(hdc), m_old(::SelectObject(hdc, obj)) {}
    ~ScopedSelect()
    {
        if (m_old && m_old != HGDI_ERROR)
            ::SelectObject(m_hdc, m_old);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC m_hdc;
    HGDIOBJ m_old;
};

// GlobalLock/GlobalUnlock.
class GlobalLockGuard {
public:
    explicit GlobalLockGuard(HGLOBAL h) : m_h(h), m_p(::GlobalLock(h)) {}
    ~GlobalLockGuard()
    {
        if (m_p)
            ::GlobalUnlock(m_h);
    }
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    void* get() const { return m_p; }

private:
    HGLOBAL m_h;
    void* m_p;
};

// A critical section owned for its lifetime, entered by a scoped Lock.
class CriticalSection {
public:
    CriticalSection() { ::InitializeCriticalSection(&m_cs); }
    ~CriticalSection() { ::DeleteCriticalSection(&m_cs); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    class Lock {
    public:
        explicit Lock(CriticalSection& cs) : m_cs(cs) { ::EnterCriticalSection(&m_cs.m_cs); }
        ~Lock() { ::LeaveCriticalSection(&m_cs.m_cs); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;
        // Leaves the section until the condition is woken, then enters it again.
        void Wait(CONDITION_VARIABLE& condition) { ::SleepConditionVariableCS(&condition, &m_cs.m_cs, INFINITE); }

    private:
        CriticalSection& m_cs;
    };

private:
    CRITICAL_SECTION m_cs;
};

} // namespace fw
