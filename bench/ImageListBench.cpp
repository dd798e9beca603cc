// Listing image files: rows from image headers against full decodes, and the time sort.
// Run by bench/run.sh; prints files per second and ratios measured in the same run.
#include "app/Globals.h"
#include "filelist/ImageFileList.h"
#include "tests/fixtures/InsertionSort.h"
#include "filelist/ImageFileRow.h"
#include "imaging/DibImage.h"
#include "imaging/ImageFile.h"
#include "imaging/ImageHeader.h"

#include <windows.h>
#include <gdiplus.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

class Stopwatch {
public:
    Stopwatch()
    {
        ::QueryPerformanceFrequency(&m_frequency);
        ::QueryPerformanceCounter(&m_start);
    }
    double Seconds() const
    {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - m_start.QuadPart) / static_cast<double>(m_frequency.QuadPart);
    }

private:
    LARGE_INTEGER m_frequency;
    LARGE_INTEGER m_start;
};

// A folder under the temporary folder holding copies of one file, removed afterwards.
class FileSet {
public:
    FileSet(const std::string& name, const std::string& source, int count)
    {
        char base[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, base);
        m_folder = std::string(base) + "lumvex-bench-" + name + "-" + std::to_string(::GetCurrentProcessId()) + "\\";
        ::CreateDirectoryA(m_folder.c_str(), nullptr);
        std::string extension = source.substr(source.find_last_of('.'));
        for (int i = 0; i < count; ++i) {
            char file[32];
            std::snprintf(file, sizeof(file), "IMG_%05d", i);
            m_paths.push_back(m_folder + file + extension);
            ::CopyFileA(source.c_str(), m_paths.back().c_str(), FALSE);
        }
    }
    ~FileSet()
    {
        for (const std::string& path : m_paths)
            ::DeleteFileA(path.c_str());
        ::RemoveDirectoryA(m_folder.c_str());
    }
    const std::vector<std::string>& Paths() const { return m_paths; }

private:
    std::string m_folder;
    std::vector<std::string> m_paths;
};

// A camera-like picture: detail everywhere, so the entropy decoder has real work.
bool WritePhoto(const std::string& path, int width, int height)
{
    CDibImage image;
    if (!image.CreateDib(width, height, 24, BI_RGB, nullptr, 0))
        return false;
    std::mt19937 random(1);
    for (int y = 0; y < height; ++y) {
        BYTE* row = image.GetBits() + static_cast<ptrdiff_t>(y) * image.GetPitch();
        for (int x = 0; x < width; ++x) {
            int noise = static_cast<int>(random() % 24);
            row[3 * x] = static_cast<BYTE>(x / 16 + noise);
            row[3 * x + 1] = static_cast<BYTE>(y / 12 + noise);
            row[3 * x + 2] = static_cast<BYTE>((x ^ y) + noise);
        }
    }
    return image.SaveAsJpeg(path);
}

bool WritePng(const std::string& path, int width, int height)
{
    // Encoded by GDI+ through the same start-up object as the program.
    using namespace Gdiplus;
    CDibImage image;
    if (!image.CreateDib(width, height, 24, BI_RGB, nullptr, 0) || !g_gdiplus.Start())
        return false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width * 3; ++x)
            image.GetBits()[static_cast<ptrdiff_t>(y) * image.GetPitch() + x] = static_cast<BYTE>(x + y);
    UINT count = 0, bytes = 0;
    DllExports::GdipGetImageEncodersSize(&count, &bytes);
    std::vector<BYTE> buffer(bytes);
    auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    if (DllExports::GdipGetImageEncoders(count, bytes, codecs) != Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(codecs[i].MimeType) != L"image/png")
            continue;
        GpBitmap* bitmap = nullptr;
        if (DllExports::GdipCreateBitmapFromHBITMAP(image.GetBitmap(), nullptr, &bitmap) != Ok)
            return false;
        std::wstring wide(path.begin(), path.end());
        bool ok = DllExports::GdipSaveImageToFile(bitmap, wide.c_str(), &codecs[i].Clsid, nullptr) == Ok;
        DllExports::GdipDisposeImage(bitmap);
        return ok;
    }
    return false;
}

// Seconds to list every file the way rows are made: header only.
double ListByHeader(const std::vector<std::string>& paths)
{
    Stopwatch watch;
    for (const std::string& path : paths) {
        ImageFileRow row;
        if (!ReadImageFileRow(path, row) || row.dimensions == "0 X 0")
            std::printf("  unexpected row for %s: %s\n", path.c_str(), row.dimensions.c_str());
    }
    return watch.Seconds();
}

// Seconds to decode every file in full, as listing did before rows read headers.
double ListByDecoding(const std::vector<std::string>& paths)
{
    Stopwatch watch;
    for (const std::string& path : paths) {
        CImageFile file;
        if (!file.Load(path) || file.GetSize().cx == 0)
            std::printf("  could not decode %s\n", path.c_str());
        file.FreeImage();
    }
    return watch.Seconds();
}

void Compare(const char* what, const std::vector<std::string>& paths)
{
    double header = ListByHeader(paths);
    double decode = ListByDecoding(paths);
    std::printf("%-34s header %8.1f files/s   full decode %8.1f files/s   ratio %6.1fx\n", what,
                paths.size() / header, paths.size() / decode, decode / header);
}

void BenchSort()
{
    std::mt19937 random(3);
    ImageFileList original;
    for (int i = 0; i < 9999; ++i) {
        ImageFileInfo record;
        record.createdTime = 1600000000 + static_cast<int64_t>(random() % 20000);
        record.typeText = "JPG";
        record.fileName = "IMG_" + std::to_string(i) + ".JPG";
        record.filePath = "C:\\Users\\someone\\Pictures\\Timelapse\\" + record.fileName;
        original.Add(record);
    }
    ImageFileList fast = original, slow = original;
    Stopwatch fastWatch;
    SortImageFilesByTime(fast);
    double fastSeconds = fastWatch.Seconds();
    Stopwatch slowWatch;
    fixtures::InsertionSortByTime(slow);
    double slowSeconds = slowWatch.Seconds();
    bool same = true;
    for (int i = 0; i < fast.GetCount(); ++i)
        same = same && fast.GetAt(i).fileName == slow.GetAt(i).fileName;
    std::printf("%-34s %8.2f ms   insertion method %8.1f ms   ratio %6.0fx   %s\n", "sort 9999 records",
                fastSeconds * 1000, slowSeconds * 1000, slowSeconds / fastSeconds, same ? "same order" : "ORDER DIFFERS");
}

} // namespace

int main(int argc, char** argv)
{
    int photos = argc > 1 ? std::atoi(argv[1]) : 200;
    int smallFiles = argc > 2 ? std::atoi(argv[2]) : 2000;
    char base[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, base);
    std::string photo = std::string(base) + "lumvex-bench-photo.jpg";
    std::string small = std::string(base) + "lumvex-bench-small.jpg";
    std::string png = std::string(base) + "lumvex-bench-small.png";
    if (!WritePhoto(photo, 4000, 3000) || !WritePhoto(small, 640, 480) || !WritePng(png, 640, 480)) {
        std::printf("could not write the sample images\n");
        return 1;
    }
    {
        FileSet set("photos", photo, photos);
        Compare((std::to_string(photos) + " JPEGs 4000 x 3000").c_str(), set.Paths());
    }
    {
        FileSet set("small", small, smallFiles);
        Compare((std::to_string(smallFiles) + " JPEGs 640 x 480").c_str(), set.Paths());
    }
    {
        FileSet set("png", png, smallFiles);
        Compare((std::to_string(smallFiles) + " PNGs 640 x 480").c_str(), set.Paths());
    }
    BenchSort();
    ::DeleteFileA(photo.c_str());
    ::DeleteFileA(small.c_str());
    ::DeleteFileA(png.c_str());
    return 0;
}
