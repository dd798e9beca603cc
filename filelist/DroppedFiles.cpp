#include "filelist/DroppedFiles.h"

#include "filelist/FolderImages.h"
#include "framework/Handles.h"
#include "framework/Text.h"

namespace {

bool IsFolder(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Wide: a name of more than 260 bytes in the ANSI code page (86 CJK characters in UTF-8) has
// no room in the narrow find data, and would be left out without a word.
std::vector<std::string> FileNamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    fw::unique_find find(::FindFirstFileExW(fw::ToWide(folder + "*").c_str(), FindExInfoBasic, &found,
                                            FindExSearchNameMatch, nullptr, 0));
    if (!find)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(fw::FromWide(found.cFileName, -1).c_str());
    } while (::FindNextFileW(find.get(), &found));
    return names;
}

std::string DroppedPath(HDROP drop, UINT index)
{
    std::vector<char> path(::DragQueryFileA(drop, index, nullptr, 0) + 1, '\0');
    ::DragQueryFileA(drop, index, path.data(), static_cast<UINT>(path.size()));
    return path.data();
}

} // namespace

std::vector<std::string> ReadDroppedPaths(HDROP drop)
{
    std::vector<std::string> paths;
    UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT index = 0; index < count; ++index) {
        std::string path = DroppedPath(drop, index);
        if (path.empty())
            continue;
        if (!IsFolder(path)) {
            paths.push_back(path);
            continue;
        }
        // A drive's root comes with its backslash, any other folder without.
        if (path.back() != '\\')
            path += '\\';
        for (const std::string& name : FolderImagesInOrder(FileNamesIn(path)))
            paths.push_back(path + name);
    }
    return paths;
}
