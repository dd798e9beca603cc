#include "app/TimeLapseApp.h"

#include "app/Globals.h"
#include "app/SettingsRules.h"
#include "filelist/ImageListDlg.h"
#include "framework/Text.h"
#include "video/jobs/PreviewJob.h"

#include <windows.h>
#include <commctrl.h>

std::string CTimeLapseApp::GetModuleDirectory()
{
    if (m_moduleDirectory.empty()) {
        // Wide: in UTF-8 a path of 90 CJK characters already passes MAX_PATH bytes, and the
        // narrow call may cut it without saying so.
        std::wstring path(MAX_PATH, L'\0');
        DWORD length = 0;
        while ((length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size())
            path.resize(path.size() * 2);
        m_moduleDirectory = settings_rules::DirectoryOfPath(fw::FromWide(path.c_str(), static_cast<int>(length)));
    }
    return m_moduleDirectory;
}

bool CTimeLapseApp::InitInstance()
{
    GetModuleDirectory();
    g_settings.Load();
    DeleteDrafts();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    CImageListDlg mainWindow;
    mainWindow.DoModal();
    return false;
}
