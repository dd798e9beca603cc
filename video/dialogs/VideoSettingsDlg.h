// "Make time lapse video": the choices for one video, stored into the settings on "Make"; a
// preview makes a draft of them as they stand and opens it, storing nothing.
#pragma once

#include "app/IniSettings.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"

#include <string>

class CImageListDlg;

class CVideoSettingsDlg : public CDialog {
public:
    explicit CVideoSettingsDlg(HWND parent = nullptr);

    int m_photoCount = 0;  // the list's rows, for the line that says what the video will be
    CImageListDlg* m_pMainDlg = nullptr;  // whose rows a preview shows

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    INT_PTR WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static int CALLBACK BrowseCallbackProc(HWND hwnd, UINT message, LPARAM parameter, LPARAM data);
    // true: fields from the controls; false: controls from the fields.
    void UpdateData(bool save);
    void OnBrowseTempPath();
    void OnBrowseDestFile();
    void OnPreview();
    // The stored settings with the controls' choices.
    CIniSettings ChosenSettings();
    bool HasTempPath() const;
    int EveryNth() const;
    void ShowVideoSummary() const;

    CComboBox m_cbVideoSize;
    CComboBox m_cbFrameRate;
    CComboBox m_cbVideoType;
    CComboBox m_cbFraming;
    CComboBox m_cbQuality;
    CComboBox m_cbStamp;
    BOOL m_bSortByTime = FALSE;
    BOOL m_bDeflicker = FALSE;
    std::string m_strTempPath;
    std::string m_strDestFile;
};
