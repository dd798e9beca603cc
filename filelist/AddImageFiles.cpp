#include "filelist/AddImageFiles.h"

#include "filelist/ImageFileRowReader.h"
#include "filelist/ImageListDlg.h"
#include "filelist/RowText.h"

#include <windows.h>

namespace {

// Every message to the window's thread costs a thread switch, which a busy machine makes
// dear: rows go in batches, and at least this often so the bar keeps moving.
constexpr size_t ROWS_PER_MESSAGE = 256;
constexpr DWORD MESSAGE_INTERVAL_MS = 100;

} // namespace

bool AddImageFiles(CImageListDlg& mainDlg, const std::vector<std::string>& paths,
                   const std::function<void(int paths)>& advance, const std::function<bool()>& stopped)
{
    CImageFileRowReader reader(paths);
    int count = mainDlg.GetImageFileCount();
    std::vector<ImageFileRow> batch;
    int pathsTaken = 0;
    DWORD lastSent = ::GetTickCount();
    auto send = [&] {
        count = mainDlg.AddImageFileRows(batch, [&] { advance(pathsTaken); });
        batch.clear();
        pathsTaken = 0;
        lastSent = ::GetTickCount();
    };
    for (size_t i = 0; i < paths.size(); ++i) {
        bool full = count + static_cast<int>(batch.size()) >= MAX_IMAGE_FILES;
        if (full || stopped()) {
            if (pathsTaken > 0)
                send();
            return !full;
        }
        ImageFileRow row;
        if (reader.TakeNext(row))
            batch.push_back(std::move(row));
        ++pathsTaken;
        if (batch.size() == ROWS_PER_MESSAGE || ::GetTickCount() - lastSent >= MESSAGE_INTERVAL_MS || i + 1 == paths.size())
            send();
    }
    return true;
}
