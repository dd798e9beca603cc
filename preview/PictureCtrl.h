// Shows one image file in a static control, upright, from its top-left corner, shrunk to fit
// with its shape kept. A hyperlink label underneath, so it shares the label's pointer handling.
#pragma once

#include "imaging/ImageFile.h"
#include "links/StaticLink.h"

#include <string>

class CPictureCtrl : public CStaticLink {
public:
    CPictureCtrl() : CStaticLink(nullptr, false) {}

    // Before the control takes over its window: the image is loaded then, and only then.
    void SetImagePath(std::string path) { m_path = std::move(path); }

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnEraseBackground(HDC dc);
    void OnPaint();

    CImageFile m_image;
    std::string m_path;
};
