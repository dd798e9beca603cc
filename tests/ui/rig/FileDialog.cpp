#include "rig/Rig.h"

namespace rig {

bool SubmitFileName(HWND fileDialog, const std::string& text)
{
    HWND edit = nullptr;
    // The "File name" box is combo 1148.
    if (!WaitUntil([&] {
            return (edit = reinterpret_cast<HWND>(::SendDlgItemMessageA(fileDialog, 1148, CBEM_GETEDITCONTROL, 0, 0))) != nullptr;
        }))
        return false;
    ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    // Sent, so a folder typed in has been entered before the caller types the next name; the
    // time-out keeps a question the dialog asks from holding the caller.
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(fileDialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(::GetDlgItem(fileDialog, IDOK)),
                          SMTO_NORMAL, 5000, &ignored);
    return true;
}

} // namespace rig
