// Stands in for antivirus, the search indexer and cloud sync: each file that appears in a
// folder is opened as soon as it can be, without letting it be deleted or renamed, and let go
// half a second later.
#pragma once

#include "framework/Handles.h"

#include <atomic>
#include <string>
#include <thread>

class MomentaryHolder {
public:
    explicit MomentaryHolder(const std::string& folder);
    ~MomentaryHolder();
    MomentaryHolder(const MomentaryHolder&) = delete;
    MomentaryHolder& operator=(const MomentaryHolder&) = delete;

    // Files held so far.
    size_t Held() const { return m_held; }

private:
    void Watch();

    std::wstring m_folder;
    fw::unique_file m_directory;
    fw::unique_handle m_changed;
    fw::unique_handle m_stop;
    std::atomic<size_t> m_held{0};
    std::thread m_thread;
};
