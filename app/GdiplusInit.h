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
