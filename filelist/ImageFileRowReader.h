// The rows of many paths, read on every core a little ahead of the caller and handed out
// in the paths' order.
#pragma once

#include "filelist/ImageFileRow.h"
#include "framework/Handles.h"

#include <windows.h>

#include <string>
#include <vector>

class CImageFileRowReader {
public:
    // The paths must outlive the reader.
    explicit CImageFileRowReader(const std::vector<std::string>& paths);
    // Stops the readers; rows not taken are dropped.
    ~CImageFileRowReader();
    CImageFileRowReader(const CImageFileRowReader&) = delete;
    CImageFileRowReader& operator=(const CImageFileRowReader&) = delete;

    // The row of the next path in order, read here when no reader has got to it yet; false
    // when no file was found there. Only while paths remain.
    bool TakeNext(ImageFileRow& row);

private:
    struct Slot {
        bool read = false;
        bool found = false;
        ImageFileRow row;
    };

    static unsigned __stdcall ReadRows(void* reader);
    // Claims and reads the next path; false when none is left or the reader is stopping.
    bool ReadNext();

    const std::vector<std::string>& m_paths;
    std::vector<Slot> m_slots;
    fw::CriticalSection m_lock;
    CONDITION_VARIABLE m_changed = CONDITION_VARIABLE_INIT;
    size_t m_claimed = 0;  // paths handed to a reader so far
    size_t m_taken = 0;    // rows handed to the caller so far
    bool m_stopping = false;
    std::vector<fw::unique_handle> m_threads;
};
