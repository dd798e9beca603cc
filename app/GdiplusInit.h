// Owns the GDI+ start-up token and counts the live images; GDI+ runs while they live.
#pragma once

#include "framework/Handles.h"

#include <cstdint>

class GdiplusInit {
public:
    GdiplusInit() = default;
    ~GdiplusInit();
    GdiplusInit(const GdiplusInit&) = delete;
    GdiplusInit& operator=(const GdiplusInit&) = delete;

    bool Start();
    void Stop();
    void IncrementImageCount();
    void DecrementImageCount();

    bool IsStarted();
    int ImageCount();

private:
    fw::CriticalSection m_lock;  // re-entered by Stop inside DecrementImageCount
    ULONG_PTR m_token = 0;
    int m_imageCount = 0;
};

// Holds GDI+ up while it lives, counted as one live image: a job that converts many pictures
// holds one, so GDI+ is not started and shut down again for each of them.
class GdiplusSession {
public:
    explicit GdiplusSession(GdiplusInit& gdiplus) : m_gdiplus(gdiplus)
    {
        m_gdiplus.IncrementImageCount();
        m_started = m_gdiplus.Start();
    }
    ~GdiplusSession() { m_gdiplus.DecrementImageCount(); }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;
    explicit operator bool() const { return m_started; }

private:
    GdiplusInit& m_gdiplus;
    bool m_started = false;
};
