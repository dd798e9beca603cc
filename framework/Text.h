// String-table loading and printf-style formatting into std::string.
#pragma once

#include <windows.h>
#include <string>

namespace fw {

// The module that holds the program's resources.
HINSTANCE ResourceModule();

// The string-table entry, converted to the ANSI code page; empty when there is none.
std::string LoadStringText(UINT id);

std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The number as the user's locale writes it: its digit groups and decimal separator.
std::string FormatLocaleNumber(double value, int decimals);

std::string GetWindowTextString(HWND hwnd);

// Windows' sentence for an error code, without its full stop; subject stands for the "%1" that
// some of them hold.
std::string SystemMessage(DWORD error, const std::string& subject);

// Text of the ANSI code page as UTF-16, for the calls that take only wide strings (GDI+).
std::wstring ToWide(const std::string& text);
// And back, for the calls that give only wide strings; or into another code page.
std::string FromWide(const wchar_t* text, int length, UINT codePage = CP_ACP);
// Text of the ANSI code page as UTF-8, the way ffmpeg reads a name from a file.
std::string ToUtf8(const std::string& text);

} // namespace fw
