#include "framework/Text.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace fw {

HINSTANCE ResourceModule()
{
    return ::GetModuleHandleA(nullptr);
}

std::string LoadStringText(UINT id)
{
    // Asking for the read-only resource text itself avoids guessing a buffer size.
    const wchar_t* text = nullptr;
    int length = ::LoadStringW(ResourceModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text)
        return {};
    return FromWide(text, length);
}

std::string FormatText(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string result;
    if (length > 0) {
        result.resize(length + 1);
        std::vsnprintf(result.data(), result.size(), format, args);
        result.resize(length);
    }
    va_end(args);
    return result;
}

std::string GetWindowTextString(HWND hwnd)
{
    int length = static_cast<int>(::SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0));
    std::vector<char> buffer(length + 1, '\0');
    ::SendMessageA(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return buffer.data();
}

std::wstring ToWide(const std::string& text)
{
    int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length) - 1);
    return wide;
}

std::string FromWide(const wchar_t* text, int length, UINT codePage)
{
    int bytes = ::WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(bytes, '\0');
    ::WideCharToMultiByte(codePage, 0, text, length, result.data(), bytes, nullptr, nullptr);
    return result;
}

std::string ToUtf8(const std::string& text)
{
    std::wstring wide = ToWide(text);
    return FromWide(wide.data(), static_cast<int>(wide.size()), CP_UTF8);
}

} // namespace fw
