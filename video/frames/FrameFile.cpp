#include "video/frames/FrameFile.h"

#include "app/FileSystem.h"
#include "framework/Handles.h"
#include "imaging/ImageFile.h"

namespace {

FrameOutcome Failed(DWORD error)
{
    return {FrameStatus::WriteFailed, error};
}

} // namespace

bool IsDiskFull(DWORD error)
{
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
}

ImageDimensions FrameSize(const std::string& frame)
{
    CImageFile image;
    image.LoadHeader(frame);
    SIZE size = image.GetSize();
    return {size.cx, size.cy};
}

bool IsReadable(const std::string& path)
{
    fw::unique_file file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
    return static_cast<bool>(file);
}

bool CanBeLinked(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    // Delete access is asked for, never used: the open fails while someone forbids deleting.
    // A link to what cannot be read would be a frame the encoder cannot read.
    fw::unique_file file(::CreateFileA(path.c_str(), GENERIC_READ | DELETE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                       nullptr));
    return static_cast<bool>(file);
}

FrameOutcome LinkOrCopyJpeg(const std::string& sourcePath, const std::string& frameFileName)
{
    // A stale file of that name may be a link to some source: copying over it would write
    // into that source, so its name goes first.
    RetryingDeleteFile(frameFileName);
    if (CanBeLinked(sourcePath) && RetryingCreateHardLink(frameFileName, sourcePath))
        return {FrameStatus::Written};
    if (RetryingCopyFile(sourcePath, frameFileName)) {
        // The copy takes the source's read-only mark, which would keep it from being deleted.
        ::SetFileAttributesA(frameFileName.c_str(), FILE_ATTRIBUTE_NORMAL);
        return {FrameStatus::Written};
    }
    DWORD error = ::GetLastError();
    RetryingDeleteFile(frameFileName);
    return IsReadable(sourcePath) ? Failed(error) : FrameOutcome{};
}

FrameOutcome WriteFrameFile(const std::string& frameFileName, const void* bytes, size_t size)
{
    DWORD error = ERROR_SUCCESS;
    {
        fw::unique_file file = RetryingCreateFileForWriting(frameFileName);
        if (!file)
            return Failed(::GetLastError());
        DWORD written = 0;
        if (::WriteFile(file.get(), bytes, static_cast<DWORD>(size), &written, nullptr) && written == size)
            return {FrameStatus::Written};
        // A short write without an error is a full volume.
        error = ::GetLastError() != ERROR_SUCCESS ? ::GetLastError() : ERROR_DISK_FULL;
    }
    RetryingDeleteFile(frameFileName);
    return Failed(error);
}
