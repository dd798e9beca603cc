// Stands in for the shell behind a hyperlink label: records what would have been opened
// and answers as told.
#pragma once

#include "links/StaticLink.h"

#include <mutex>
#include <string>
#include <vector>

struct OpenLog {
    std::mutex lock;
    std::vector<std::string> opened;
    INT_PTR result = 42;

    std::vector<std::string> Opened()
    {
        std::lock_guard<std::mutex> guard(lock);
        return opened;
    }
};

class RecordingTarget : public LinkTarget {
public:
    explicit RecordingTarget(OpenLog& log) : m_log(log) {}
    INT_PTR Open() const override
    {
        std::lock_guard<std::mutex> guard(m_log.lock);
        m_log.opened.push_back(GetText());
        return m_log.result;
    }

private:
    OpenLog& m_log;
};
