#include "filelist/ImageFileRowReader.h"

#include "framework/Thread.h"

#include <algorithm>
#include <utility>

namespace {

// Bounds the work done for paths that the row limit may never let in.
constexpr size_t READ_AHEAD = 1024;

} // namespace

CImageFileRowReader::CImageFileRowReader(const std::vector<std::string>& paths)
    : m_paths(paths), m_slots(paths.size())
{
    size_t count = std::min<size_t>(fw::ProcessorCount(), paths.size());
    for (size_t i = 0; i < count; ++i) {
        // A reader that cannot start leaves its share to the others and to TakeNext.
        fw::unique_handle thread = fw::StartThread(ReadRows, this);
        if (thread)
            m_threads.push_back(std::move(thread));
    }
}

CImageFileRowReader::~CImageFileRowReader()
{
    {
        fw::CriticalSection::Lock lock(m_lock);
        m_stopping = true;
    }
    ::WakeAllConditionVariable(&m_changed);
    for (const fw::unique_handle& thread : m_threads)
        ::WaitForSingleObject(thread.get(), INFINITE);
}

unsigned __stdcall CImageFileRowReader::ReadRows(void* reader)
{
    while (static_cast<CImageFileRowReader*>(reader)->ReadNext()) {
    }
    return 0;
}

bool CImageFileRowReader::ReadNext()
{
    size_t index = 0;
    {
        fw::CriticalSection::Lock lock(m_lock);
        while (!m_stopping && m_claimed < m_paths.size() && m_claimed >= m_taken + READ_AHEAD)
            lock.Wait(m_changed);
        if (m_stopping || m_claimed == m_paths.size())
            return false;
        index = m_claimed++;
    }
    Slot slot;
    slot.found = ReadImageFileRow(m_paths[index], slot.row);
    slot.read = true;
    {
        fw::CriticalSection::Lock lock(m_lock);
        m_slots[index] = std::move(slot);
    }
    ::WakeAllConditionVariable(&m_changed);
    return true;
}

bool CImageFileRowReader::TakeNext(ImageFileRow& row)
{
    for (;;) {
        {
            fw::CriticalSection::Lock lock(m_lock);
            Slot& slot = m_slots[m_taken];
            if (slot.read) {
                row = std::move(slot.row);
                ++m_taken;
                ::WakeAllConditionVariable(&m_changed);
                return slot.found;
            }
            if (m_claimed > m_taken) {
                lock.Wait(m_changed);
                continue;
            }
        }
        ReadNext();
    }
}
