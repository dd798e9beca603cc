// Message boxes captioned with the program's title (string-table entry 0xE000).
#pragma once

#include <windows.h>
#include <string>

namespace fw {

constexpr UINT IDS_PROGRAM_TITLE = 0xE000;

int ShowMessageBox(HWND owner, const std::string& text, UINT type);

} // namespace fw
