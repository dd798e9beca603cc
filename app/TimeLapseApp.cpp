#include "app/TimeLapseApp.h"

#include "app/Globals.h"
#include "app/SettingsRules.h"
#include "filelist/ImageListDlg.h"

#include <windows.h>
#include <commctrl.h>

std::string CTimeLapseApp::GetModuleDirectory()
{
    if (m_moduleDirectory.empty()) {
        char path[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        m_moduleDirectory = settings_rules::DirectoryOfPath(path);
    }
    return m_moduleDirectory;
}

bool CTimeLapseApp::InitInstance()
{
    GetModuleDirectory();
    g_settings.Load();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    CImageListDlg mainWindow;
    mainWindow.DoModal();
    return false;
}
