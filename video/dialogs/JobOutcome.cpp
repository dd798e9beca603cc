#include "video/dialogs/JobOutcome.h"

#include "framework/MessageBox.h"
#include "framework/Text.h"
#include "resource.h"

#include <shellapi.h>

void ShowJobResult(HWND owner, INT_PTR ending, const std::string& text)
{
    if (text.empty())
        return;
    fw::ShowMessageBox(owner, text, MB_OK | (ending == IDOK ? MB_ICONINFORMATION : MB_ICONERROR));
}

void OfferToOpenVideo(HWND owner, const std::string& text, const std::string& video)
{
    std::string question = text + "\n\n" + fw::LoadStringText(IDS_OPEN_VIDEO);
    if (fw::ShowMessageBox(owner, question, MB_YESNO | MB_ICONINFORMATION) == IDYES)
        OpenInPlayer(owner, video);
}

void OpenInPlayer(HWND owner, const std::string& video)
{
    std::wstring file = fw::ToWide(video);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // The shell's own box would say less than ours, which names the file.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = L"open";
    info.lpFile = file.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (::ShellExecuteExW(&info))
        return;
    std::string reason = fw::SystemMessage(::GetLastError(), video.substr(video.find_last_of('\\') + 1));
    fw::ShowMessageBox(owner, fw::FormatText(fw::LoadStringText(IDS_OPEN_FAILED).c_str(), reason.c_str(), video.c_str()),
                       MB_OK | MB_ICONERROR);
}
