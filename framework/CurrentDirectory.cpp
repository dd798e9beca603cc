#include "framework/CurrentDirectory.h"

#include <windows.h>

namespace fw {

namespace {

// The folder of the program's executable, of any length; empty when the system cannot say.
std::wstring ProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

} // namespace

std::wstring CurrentDirectory()
{
    // The size asked for counts the NUL; between the two calls another thread may have moved
    // it somewhere longer, so ask again then.
    for (;;) {
        DWORD size = ::GetCurrentDirectoryW(0, nullptr);
        if (size == 0)
            return std::wstring();
        std::wstring directory(size, L'\0');
        DWORD length = ::GetCurrentDirectoryW(size, directory.data());
        if (length == 0)
            return std::wstring();
        if (length < size) {
            directory.resize(length);
            return directory;
        }
    }
}

KeepCurrentDirectory::KeepCurrentDirectory() : m_before(CurrentDirectory()) {}

KeepCurrentDirectory::~KeepCurrentDirectory()
{
    if (!m_before.empty() && ::SetCurrentDirectoryW(m_before.c_str()))
        return;
    std::wstring own = ProgramFolder();
    if (!own.empty())
        ::SetCurrentDirectoryW(own.c_str());
}

} // namespace fw
