// Listing image files: camera photos through the main window, the new way against the old;
// rows from image headers against full decodes; and the time sort. Run by bench/run.sh;
// prints files per second and ratios measured in the same run.
#include "app/Globals.h"
#include "bench/BenchMainDlg.h"
#include "bench/InsertionSort.h"
#include "bench/Stopwatch.h"
#include "filelist/AddImageFiles.h"
#include "filelist/ImageFileList.h"
#include "filelist/ImageFileRow.h"
#include "filelist/ImageFileRowReader.h"
#include "filelist/ImageListDlg.h"
#include "filelist/RowText.h"
#include "resource.h"
#include "rig/HostTool.h"
#include "rig/Rig.h"
#include "video/dialogs/WaitDlg.h"
#include "imaging/ImageFile.h"
#include "imaging/ImageHeader.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

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

// Pictures made by ImageMagick; a camera-like photo has detail everywhere, so the entropy
// decoder has real work.
bool WriteSample(const std::string& path, int width, int height, const char* detail)
{
    std::string size = std::to_string(width) + "x" + std::to_string(height);
    return rig::RunHostTool("convert", "-seed 1 -size " + size + " gradient:navy-orange " + detail + " \"" + path + "\"")
           == 0;
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

// Seconds from the command to the rows painted: the work runs on the window's thread.
double RunOnWindow(BenchMainDlg& window, const std::function<void()>& work)
{
    Stopwatch watch;
    std::function<void()> whole = [&] {
        work();
        ::UpdateWindow(window.GetFileListCtrl().GetSafeHwnd());
    };
    window.RunOnItsThread(whole);
    return watch.Seconds();
}

// Select Files after the file dialog: the load-files job behind the work dialog.
void LoadFilesNewWay(BenchMainDlg& window, const std::vector<std::string>& paths)
{
    CWaitDlg dialog;
    dialog.m_pMainDlg = &window;
    dialog.m_bLoadFiles = TRUE;
    dialog.SetMessageId(IDS_LOADING_FILES);
    dialog.SetFiles(paths);
    dialog.DoModal();
}

// Runs the work on a worker thread while this, the window's thread, serves its messages.
void OnWorker(const std::function<void()>& work)
{
    rig::UiThread worker(work);
    MSG message;
    while (!worker.Join(0)) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&message);
    }
}

// How the job added rows before: one file after another, a message per cell, from a worker.
void LoadFilesOldWay(BenchMainDlg& window, const std::vector<std::string>& paths)
{
    OnWorker([&] {
        const CListCtrl& list = window.GetFileListCtrl();
        list.SetRedraw(false);
        for (const std::string& path : paths) {
            ImageFileRow row;
            if (!ReadImageFileRow(path, row))
                continue;
            int count = list.GetItemCount();
            int item = list.InsertItem(count, FormatRowNumber(count + 1).c_str());
            list.SetItemText(item, COLUMN_FILE_NAME, row.fileName);
            list.SetItemText(item, COLUMN_TYPE, row.typeText);
            list.SetItemText(item, COLUMN_DIMENSIONS, row.dimensions);
            list.SetItemText(item, COLUMN_CREATED_TIME, row.createdTime);
            list.SetItemText(item, COLUMN_DATE_TAKEN, row.dateTaken);
            list.SetItemText(item, COLUMN_FILE_PATH, row.filePath);
        }
        list.SetRedraw(true);
    });
}

std::vector<std::vector<std::string>> RowsOf(const CImageListDlg& window)
{
    const CListCtrl& list = window.GetFileListCtrl();
    std::vector<std::vector<std::string>> rows(list.GetItemCount());
    for (size_t row = 0; row < rows.size(); ++row)
        for (int column = COLUMN_NUMBER; column <= COLUMN_FILE_PATH; ++column)
            rows[row].push_back(list.GetItemText(static_cast<int>(row), column));
    return rows;
}

// Each row against the names and sizes the photos were made with: "IMG_0001.JPG 4032 X 3024".
int CountWrongRows(const std::vector<std::vector<std::string>>& rows, const std::string& folder, const std::vector<std::string>& expected)
{
    int wrong = std::abs(static_cast<int>(rows.size()) - static_cast<int>(expected.size()));
    for (size_t i = 0; i < rows.size() && i < expected.size(); ++i) {
        std::string name = expected[i].substr(0, expected[i].find(' '));
        std::vector<std::string> want = {FormatRowNumber(static_cast<int>(i) + 1), name, "JPG", expected[i].substr(name.size() + 1),
                                         rows[i][COLUMN_CREATED_TIME], rows[i][COLUMN_DATE_TAKEN], folder + name};
        if (rows[i] != want || ParseCreatedTime(rows[i][COLUMN_CREATED_TIME]) == 0 || rows[i][COLUMN_DATE_TAKEN].empty())
            ++wrong;
    }
    return wrong;
}

// A click on the heading, as the header control's own button messages, on the window's
// thread: the rows are sorted when the click returns.
void ClickHeading(const CImageListDlg& window, int column)
{
    HWND header = window.GetFileListCtrl().GetHeaderCtrl();
    RECT rect{};
    ::SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&rect));
    LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ::SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageA(header, WM_LBUTTONUP, 0, at);
}

void BenchSortByHeading(BenchMainDlg& window)
{
    const std::pair<const char*, RowColumn> headings[] = {
        {"Date Taken", COLUMN_DATE_TAKEN}, {"Date Taken again", COLUMN_DATE_TAKEN}, {"File Name", COLUMN_FILE_NAME},
        {"Created Time", COLUMN_CREATED_TIME}, {"Dimensions", COLUMN_DIMENSIONS}, {"No.", COLUMN_NUMBER}};
    std::printf("Sorting %d rows by a heading, from the click to the rows painted (target <= 200 ms)\n",
                window.GetImageFileCount());
    for (const auto& [name, column] : headings) {
        double seconds = RunOnWindow(window, [&] { ClickHeading(window, column); });
        std::printf("  %-18s %7.1f ms\n", name, seconds * 1000);
    }
}

void BenchListing(const std::string& folder, size_t count)
{
    std::vector<std::string> expected;
    std::ifstream manifest(folder + "expected.txt");
    for (std::string line; expected.size() < count && std::getline(manifest, line);)
        if (!line.empty())
            expected.push_back(line);
    std::vector<std::string> paths;
    for (const std::string& line : expected)
        paths.push_back(folder + line.substr(0, line.find(' ')));
    if (paths.empty()) {
        std::printf("no photos listed in %sexpected.txt\n", folder.c_str());
        return;
    }
    double files = static_cast<double>(paths.size());

    // Where the time goes: the header reads alone, on one thread and on every core.
    double serial = ListByHeader(paths);
    Stopwatch parallelWatch;
    std::vector<ImageFileRow> rows(paths.size());
    {
        CImageFileRowReader reader(paths);
        for (ImageFileRow& row : rows)
            reader.TakeNext(row);
    }
    double parallel = parallelWatch.Seconds();

    BenchMainDlg window;
    rig::UiThread ui([&] { window.DoModal(); });
    rig::WaitUntil([&] { return window.GetSafeHwnd() && ::IsWindowVisible(window.GetSafeHwnd()); });
    // And the rows going into the list view, with nothing else to do.
    double inserting = RunOnWindow(window, [&] {
        window.GetFileListCtrl().SetRedraw(false);
        window.AddImageFileRows(rows);
        window.GetFileListCtrl().SetRedraw(true);
    });
    window.GetFileListCtrl().DeleteAllItems();
    double dialogAlone = RunOnWindow(window, [&] { LoadFilesNewWay(window, {}); });
    double withoutDialog = RunOnWindow(window, [&] {
        OnWorker([&] {
            window.GetFileListCtrl().SetRedraw(false);
            AddImageFiles(window, paths, [](int) {}, [] { return false; });
            window.GetFileListCtrl().SetRedraw(true);
        });
    });
    // The same photos with and without their EXIF, in turns, the best of two each.
    std::vector<std::string> plainPaths;
    for (const std::string& path : paths)
        plainPaths.push_back(folder + "plain\\" + path.substr(folder.size()));
    double now = 1e9, plain = 1e9;
    for (int round = 0; round < 2; ++round) {
        window.GetFileListCtrl().DeleteAllItems();
        plain = std::min(plain, RunOnWindow(window, [&] { LoadFilesNewWay(window, plainPaths); }));
        window.GetFileListCtrl().DeleteAllItems();
        now = std::min(now, RunOnWindow(window, [&] { LoadFilesNewWay(window, paths); }));
    }
    auto newRows = RowsOf(window);
    BenchSortByHeading(window);
    window.GetFileListCtrl().DeleteAllItems();
    double old = RunOnWindow(window, [&] { LoadFilesOldWay(window, paths); });
    auto oldRows = RowsOf(window);
    ::EndDialog(window.GetSafeHwnd(), IDOK);
    ui.Join();

    std::printf("Select Files with %zu camera photos, from the file dialog's OK to the rows painted\n", paths.size());
    std::printf("  now:     %7.2f s  %8.1f files/s  (target <= 10 s)\n", now, files / now);
    std::printf("  before:  %7.2f s  %8.1f files/s  ratio %.1fx\n", old, files / old, old / now);
    std::printf("  the same photos without EXIF: %.2f s; with EXIF read %.3fx that (target <= 1.10)\n", plain,
                now / plain);
    std::printf("  where it goes: header reads on one thread %.2f s, on every core %.2f s; rows into the view %.2f s;\n"
                "    the work dialog opening and closing %.2f s; the new way without that dialog %.2f s\n", serial, parallel,
                inserting, dialogAlone, withoutDialog);
    std::printf("  rows: %d wrong now, %d wrong before, %s\n", CountWrongRows(newRows, folder, expected),
                CountWrongRows(oldRows, folder, expected), newRows == oldRows ? "same rows both ways" : "ROWS DIFFER");
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
        // In 50 ms steps over 1,000 seconds, many at the same time; one in fifty unknown.
        record.createdFileTime = random() % 50 == 0 ? 0 : 132000000000000000ULL + random() % 20000 * 500000;
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

// Arguments: the folder of camera photos with its expected.txt (made by bench/run.sh), how
// many of them to list, then how many large and small files the header and decode
// comparison copies.
int main(int argc, char** argv)
{
    if (argc > 1)
        BenchListing(argv[1], argc > 2 ? std::strtoul(argv[2], nullptr, 10) : MAX_IMAGE_FILES);
    int photos = argc > 3 ? std::atoi(argv[3]) : 200;
    int smallFiles = argc > 4 ? std::atoi(argv[4]) : 2000;
    char base[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, base);
    std::string photo = std::string(base) + "lumvex-bench-photo.jpg";
    std::string small = std::string(base) + "lumvex-bench-small.jpg";
    std::string png = std::string(base) + "lumvex-bench-small.png";
    const char* noise = "-attenuate 0.4 +noise Gaussian -quality 92";
    if (!WriteSample(photo, 4000, 3000, noise) || !WriteSample(small, 640, 480, noise) || !WriteSample(png, 640, 480, "")) {
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
