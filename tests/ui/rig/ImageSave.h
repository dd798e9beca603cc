// GDI+ for the rig: started for a scope, and images saved with the encoder of a MIME type
// ("image/png" ...).
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <string>

namespace rig {

// Shut down only when this start-up succeeded.
class ScopedGdiplus {
public:
    ScopedGdiplus()
    {
        Gdiplus::GdiplusStartupInput input;
        m_started = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~ScopedGdiplus()
    {
        if (m_started)
            Gdiplus::GdiplusShutdown(m_token);
    }
    ScopedGdiplus(const ScopedGdiplus&) = delete;
    ScopedGdiplus& operator=(const ScopedGdiplus&) = delete;
    explicit operator bool() const { return m_started; }

private:
    ULONG_PTR m_token = 0;
    bool m_started = false;
};

bool SaveImageAs(Gdiplus::Image& image, const std::string& path, const wchar_t* mimeType);

} // namespace rig
