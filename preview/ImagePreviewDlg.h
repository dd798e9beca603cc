// One image of the list in a fixed-size dialog titled with its file name.
#pragma once

#include "framework/Dialog.h"
#include "preview/PictureCtrl.h"

#include <string>

class CImagePreviewDlg : public CDialog {
public:
    explicit CImagePreviewDlg(HWND parent = nullptr);

    std::string m_imagePath;
    std::string m_imageName;

protected:
    BOOL OnInitDialog() override;
    // The dialog has no OK: Enter does nothing, Escape and the close box end it.
    void OnOK() override {}

private:
    CPictureCtrl m_picture;
};
