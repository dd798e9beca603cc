#include "app/GdiplusInit.h"

#include <windows.h>
#include <gdiplus.h>

GdiplusInit::~GdiplusInit()
{
    Stop();
}

bool GdiplusInit::Start()
{
    fw::CriticalSection::Lock lock(m_lock);
    if (m_token != 0)
        return true;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok)
        return false;
    m_token = token;
    return true;
}

void GdiplusInit::Stop()
{
    fw::CriticalSection::Lock lock(m_lock);
    if (m_token != 0) {
        Gdiplus::GdiplusShutdown(m_token);
        m_token = 0;
    }
}

void GdiplusInit::IncrementImageCount()
{
    fw::CriticalSection::Lock lock(m_lock);
    ++m_imageCount;
}

void GdiplusInit::DecrementImageCount()
{
    fw::CriticalSection::Lock lock(m_lock);
    if (m_imageCount-- == 1)
        Stop();
}

bool GdiplusInit::IsStarted()
{
    fw::CriticalSection::Lock lock(m_lock);
    return m_token != 0;
}

int GdiplusInit::ImageCount()
{
    fw::CriticalSection::Lock lock(m_lock);
    return m_imageCount;
}
