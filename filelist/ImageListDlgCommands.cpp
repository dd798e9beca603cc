// The main window's two long commands, each run behind the work dialog, and their result.
#include "filelist/ImageListDlg.h"

#include "app/Globals.h"
#include "framework/CurrentDirectory.h"
#include "resource.h"
#include "video/dialogs/JobOutcome.h"
#include "video/dialogs/VideoSettingsDlg.h"
#include "video/dialogs/WaitDlg.h"
#include "video/jobs/PreviewJob.h"

#include <commdlg.h>

#include <vector>

namespace {

constexpr DWORD FILE_NAME_BUFFER_CHARS = 2599740;

// The names an OFN_EXPLORER multi-select dialog returns: one full path, or the folder
// followed by the names in it, each ended by a NUL, the list by a second one.
std::vector<std::string> SplitChosenNames(const char* buffer)
{
    std::vector<std::string> names;
    std::string first = buffer;
    const char* next = buffer + first.size() + 1;
    if (*next == '\0') {
        if (!first.empty())
            names.push_back(first);
        return names;
    }
    std::string folder = first;
    if (folder.back() != '\\')
        folder += '\\';
    for (; *next != '\0'; next += std::char_traits<char>::length(next) + 1)
        names.push_back(folder + next);
    return names;
}

} // namespace

void CImageListDlg::OnSelectFiles()
{
    std::vector<std::string> paths;
    {
        // Two buffer ends of NUL, so a list the dialog fills to the brim is still ended.
        std::vector<char> buffer(FILE_NAME_BUFFER_CHARS + 2, '\0');
        OPENFILENAMEA dialog{};
        dialog.lStructSize = sizeof(dialog);
        dialog.hwndOwner = m_hWnd;
        dialog.lpstrFilter = "Image files(*.jpg, *.jpeg, *.jpe, *.jfif, *.bmp, *.png, *.gif)\0"
                              "*.jpg;*.jpeg;*.jpe;*.jfif;*.bmp;*.png;*.gif\0";
        dialog.lpstrFile = buffer.data();
        dialog.nMaxFile = FILE_NAME_BUFFER_CHARS;
        dialog.lpstrTitle = "Select one or multiple files";
        dialog.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
        // The dialog leaves the current directory in the photos' folder; it goes back.
        fw::KeepCurrentDirectory keep;
        if (::GetOpenFileNameA(&dialog))
            paths = SplitChosenNames(buffer.data());
    }
    if (paths.empty())
        return;
    LoadFiles(paths);
}

void CImageListDlg::LoadFiles(const std::vector<std::string>& paths)
{
    CWaitDlg wait(m_hWnd);
    wait.SetFiles(paths);
    wait.m_pMainDlg = this;
    wait.m_bLoadFiles = TRUE;
    wait.SetMessageId(IDS_LOADING_FILES);
    INT_PTR ending = wait.DoModal();
    ShowJobResult(m_hWnd, ending, wait.GetResultText());
    UpdateMakeVideoButton();
}

void CImageListDlg::OnMakeVideo()
{
    CVideoSettingsDlg settings(m_hWnd);
    settings.m_photoCount = GetImageFileCount();
    settings.m_pMainDlg = this;
    if (settings.DoModal() != IDOK)
        return;
    DeleteDrafts();
    CWaitDlg wait(m_hWnd);
    wait.m_pMainDlg = this;
    wait.m_bMakeVideo = TRUE;
    wait.SetMessageId(IDS_MAKING_VIDEO);
    INT_PTR ending = wait.DoModal();
    if (ending == IDOK && wait.GetResultId() == IDS_VIDEO_SUCCESS)
        OfferToOpenVideo(m_hWnd, wait.GetResultText(), g_settings.DestinationFile);
    else
        ShowJobResult(m_hWnd, ending, wait.GetResultText());
}
