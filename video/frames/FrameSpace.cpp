#include "video/frames/FrameSpace.h"

#include "app/FileSystem.h"
#include "imaging/ImageHeader.h"
#include "video/frames/FrameFile.h"
#include "video/jobs/WorkFileNames.h"

#include <atomic>
#include <cstdint>
#include <map>

namespace {

// A JPEG of quality 95 is well above a sixty-fourth of a BMP, PNG or GIF of the same picture.
constexpr uint64_t CONVERSION_FLOOR_DIVISOR = 64;
// Two bits a pixel: more than an MPEG-4 at quantiser 2 or an H.264 at its default quality
// spend on a photograph.
constexpr uint64_t VIDEO_PIXELS_PER_BYTE = 4;

// Unknown counts as room: the writes themselves will tell.
uint64_t FreeSpace(const std::string& folder)
{
    ULARGE_INTEGER available{};
    if (!::GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr))
        return UINT64_MAX;
    return available.QuadPart;
}

bool ReadSize(const std::string& path, uint64_t& size, DWORD& attributes)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    attributes = data.dwFileAttributes;
    return true;
}

// Jobs of one second, in this process or another, would otherwise make the same name again.
std::string NewProbeName(const std::string& workFiles)
{
    static std::atomic<unsigned> probes{0};
    return ProbeFileName(workFiles, ::GetCurrentProcessId(), ++probes);
}

// Files of one folder share a volume, so one link tells for all of them.
bool CanLink(const std::string& sourcePath, const std::string& probeName)
{
    if (!RetryingCreateHardLink(probeName, sourcePath))
        return false;
    RetryingDeleteFile(probeName);
    return true;
}

} // namespace

bool FramesCanFit(const std::vector<ImageFileInfo>& rows, const std::string& tempFolder, const std::string& workFiles)
{
    uint64_t available = FreeSpace(tempFolder);
    std::map<std::string, bool> linkableFolders;
    uint64_t needed = 0;
    for (const ImageFileInfo& row : rows) {
        uint64_t size = 0;
        DWORD attributes = 0;
        if (row.typeText == IMAGE_TYPE_OTHERS || !ReadSize(row.filePath, size, attributes))
            continue;
        if (row.typeText != IMAGE_TYPE_JPG) {
            needed += size / CONVERSION_FLOOR_DIVISOR;
            continue;
        }
        if (attributes & FILE_ATTRIBUTE_READONLY) {
            needed += size;
            continue;
        }
        std::string folder = row.filePath.substr(0, row.filePath.find_last_of('\\') + 1);
        auto known = linkableFolders.find(folder);
        // A source locked against deleting is counted as a copy and never probed: the probe
        // could not be deleted. The folder's next source probes it.
        if (known == linkableFolders.end() && CanBeLinked(row.filePath))
            known = linkableFolders.emplace(folder, CanLink(row.filePath, NewProbeName(workFiles))).first;
        if (known == linkableFolders.end() || !known->second)
            needed += size;
    }
    return needed <= available;
}

bool FramedCanFit(const std::string& tempFolder, int frameCount, ImageDimensions videoSize)
{
    // Rows of three bytes a pixel, padded to four.
    uint64_t row = (static_cast<uint64_t>(videoSize.width) * 3 + 3) / 4 * 4;
    return static_cast<uint64_t>(frameCount) * row * static_cast<uint64_t>(videoSize.height) <= FreeSpace(tempFolder);
}

bool SegmentsCanFit(const std::string& tempFolder, int frameCount, ImageDimensions videoSize)
{
    uint64_t pixels = static_cast<uint64_t>(videoSize.width) * static_cast<uint64_t>(videoSize.height);
    return static_cast<uint64_t>(frameCount) * pixels / VIDEO_PIXELS_PER_BYTE <= FreeSpace(tempFolder);
}
