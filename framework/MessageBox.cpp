#include "framework/MessageBox.h"

#include "framework/Text.h"

namespace fw {

int ShowMessageBox(HWND owner, const std::string& text, UINT type)
{
    return ::MessageBoxA(owner, text.c_str(), LoadStringText(IDS_PROGRAM_TITLE).c_str(), type);
}

} // namespace fw
