// A white 32-bit canvas to draw into and read pixels back from.
#pragma once

#include "imaging/DibImage.h"

#include <cstring>

namespace testimages {

class Canvas {
public:
    Canvas(int width, int height)
    {
        m_dib.CreateDib(width, height, 32, BI_RGB, nullptr, 0);
        for (int y = 0; y < height; ++y)
            std::memset(m_dib.GetBits() + y * m_dib.GetPitch(), 0xFF, width * 4);
        m_dc = m_dib.GetMemoryDC();
    }
    ~Canvas()
    {
        if (m_dc)
            m_dib.ReleaseMemoryDC();
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return m_dc; }
    COLORREF Pixel(int x, int y) const
    {
        ::GdiFlush();
        const BYTE* p = m_dib.GetBits() + y * m_dib.GetPitch() + x * 4;
        return RGB(p[2], p[1], p[0]);
    }

private:
    CDibImage m_dib;
    HDC m_dc = nullptr;
};

} // namespace testimages
