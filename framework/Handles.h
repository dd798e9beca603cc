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

struct HandleTraits {
    static HANDLE Empty() { return nullptr; }
    static void Free(HANDLE h) { ::CloseHandle(h); }
};
struct FileHandleTraits {
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Free(HANDLE h) { ::CloseHandle(h); }
};
struct FindHandleTraits {
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static void Free(HANDLE h) { ::FindClose(h); }
};
template <typename T>
struct GdiObjectTraits {
    static T Empty() { return nullptr; }
    static void Free(T h) { ::DeleteObject(h); }
};
struct DcTraits {
    static HDC Empty() { return nullptr; }
    static void Free(HDC h) { ::DeleteDC(h); }
};
struct GlobalTraits {
    static HGLOBAL Empty() { return nullptr; }
    static void Free(HGLOBAL h) { ::GlobalFree(h); }
};
struct MenuTraits {
    static HMENU Empty() { return nullptr; }
    static void Free(HMENU h) { ::DestroyMenu(h); }
};
struct DropTraits {
    static HDROP Empty() { return nullptr; }
    static void Free(HDROP h) { ::DragFinish(h); }
};
struct ViewTraits {
    static void* Empty() { return nullptr; }
    static void Free(void* p) { ::UnmapViewOfFile(p); }
};

using unique_handle = UniqueResource<HANDLE, HandleTraits>;
using unique_file = UniqueResource<HANDLE, FileHandleTraits>;
using unique_find = UniqueResource<HANDLE, FindHandleTraits>;
using unique_hbitmap = UniqueResource<HBITMAP, GdiObjectTraits<HBITMAP>>;
using unique_hfont = UniqueResource<HFONT, GdiObjectTraits<HFONT>>;
using unique_hbrush = UniqueResource<HBRUSH, GdiObjectTraits<HBRUSH>>;
using unique_hdc = UniqueResource<HDC, DcTraits>;
using unique_hglobal = UniqueResource<HGLOBAL, GlobalTraits>;
using unique_hmenu = UniqueResource<HMENU, MenuTraits>;
using unique_hdrop = UniqueResource<HDROP, DropTraits>;
using unique_view = UniqueResource<void*, ViewTraits>;

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
