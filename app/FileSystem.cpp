#include "app/FileSystem.h"

#include "framework/Handles.h"

#include <windows.h>
#include <imagehlp.h>
#include <shlwapi.h>

bool EnsureDirectory(std::string path)
{
    if (path.empty())
        return false;
    if (::PathIsDirectoryA(path.c_str()))
        return true;
    ::MakeSureDirectoryPathExists(path.c_str());
    return ::PathIsDirectoryA(path.c_str()) != FALSE;
}

bool FileExists(const std::string& path)
{
    if (path.empty())
        return false;
    WIN32_FIND_DATAA data;
    fw::unique_find find(::FindFirstFileA(path.c_str(), &data));
    return static_cast<bool>(find);
}
