#include "video/frames/ConversionPool.h"

#include "app/FileSystem.h"
#include "framework/Thread.h"

#include <algorithm>

CConversionPool::CConversionPool(std::vector<std::string> targets, Conversion convert, unsigned workers)
    : m_targets(std::move(targets)), m_convert(std::move(convert)), m_states(m_targets.size(), State::Waiting),
      m_outcomes(m_targets.size())
{
    workers = std::min<unsigned>(workers, static_cast<unsigned>(m_targets.size()));
    for (unsigned i = 0; i < workers; ++i) {
        // Fewer workers: Take converts what none of them has begun.
        if (fw::unique_handle worker = fw::StartThread(WorkerProc, this))
            m_workers.push_back(std::move(worker));
    }
}

CConversionPool::~CConversionPool()
{
    {
        fw::CriticalSection::Lock hold(m_lock);
        m_stopping = true;
    }
    for (const fw::unique_handle& worker : m_workers)
        ::WaitForSingleObject(worker.get(), INFINITE);
    for (size_t i = 0; i < m_targets.size(); ++i) {
        if (m_states[i] == State::Done && m_outcomes[i].status == FrameStatus::Written)
            RetryingDeleteFile(m_targets[i]);
    }
}

FrameOutcome CConversionPool::Take(size_t index)
{
    bool convertHere = false;
    {
        fw::CriticalSection::Lock hold(m_lock);
        if (m_states[index] == State::Waiting && index == m_next) {
            ++m_next;
            m_states[index] = State::Converting;
            convertHere = true;
        }
    }
    if (convertHere)
        Finish(index, m_convert(index));
    fw::CriticalSection::Lock hold(m_lock);
    while (m_states[index] != State::Done)
        hold.Wait(m_changed);
    m_states[index] = State::Taken;
    return m_outcomes[index];
}

bool CConversionPool::Claim(size_t& index)
{
    fw::CriticalSection::Lock hold(m_lock);
    if (m_stopping || m_next == m_targets.size())
        return false;
    index = m_next++;
    m_states[index] = State::Converting;
    return true;
}

void CConversionPool::Finish(size_t index, FrameOutcome outcome)
{
    {
        fw::CriticalSection::Lock hold(m_lock);
        m_states[index] = State::Done;
        m_outcomes[index] = outcome;
    }
    ::WakeAllConditionVariable(&m_changed);
}

unsigned __stdcall CConversionPool::WorkerProc(void* pool)
{
    static_cast<CConversionPool*>(pool)->Work();
    return 0;
}

void CConversionPool::Work()
{
    size_t index = 0;
    while (Claim(index))
        Finish(index, m_convert(index));
}
