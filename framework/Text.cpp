#include "framework/Text.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <vector>

namespace fw {

std::string SystemMessage(DWORD error, const std::string& subject)
{
    char* text = nullptr;
    DWORD length = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length > 0 ? std::string(text, length) : FormatText("error %lu", error);
    ::LocalFree(text);
    for (size_t at = 0; (at = message.find("%1", at)) != std::string::npos; at += subject.size())
        message.replace(at, 2, subject);
    message.erase(message.find_last_not_of(" .\r\n") + 1);
    return message;
}

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

namespace {

std::wstring LocaleText(LCTYPE type)
{
    wchar_t text[16] = {};
    ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, text, ARRAYSIZE(text));
    return text;
}

// The locale writes its digit groups as "3;0" (threes throughout) or "3;2;0" (a three, then
// twos); NUMBERFMT wants 3 and 32, and a trailing 0 where the last group does not repeat.
UINT Grouping(const std::wstring& text)
{
    UINT grouping = 0;
    for (wchar_t c : text)
        if (c >= L'0' && c <= L'9')
            grouping = grouping * 10 + (c - L'0');
    bool repeats = text.size() >= 2 && text.compare(text.size() - 2, 2, L";0") == 0;
    return repeats ? grouping / 10 : grouping * 10;
}

} // namespace

std::string FormatLocaleNumber(double value, int decimals)
{
    std::wstring decimal = LocaleText(LOCALE_SDECIMAL);
    std::wstring thousand = LocaleText(LOCALE_STHOUSAND);
    NUMBERFMTW format{};
    format.NumDigits = static_cast<UINT>(decimals);
    format.LeadingZero = 1;
    format.Grouping = Grouping(LocaleText(LOCALE_SGROUPING));
    format.lpDecimalSep = decimal.data();
    format.lpThousandSep = thousand.data();
    wchar_t digits[32];
    std::swprintf(digits, ARRAYSIZE(digits), L"%.*f", decimals, value);
    wchar_t written[64];
    int length = ::GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, digits, &format, written, ARRAYSIZE(written));
    return length > 0 ? fw::FromWide(written, length - 1) : fw::FromWide(digits, static_cast<int>(std::wcslen(digits)));
}

} // namespace fw
