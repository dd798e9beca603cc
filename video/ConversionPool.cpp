#include "video/ConversionPool.h"

#include "video/ConvertToJpeg.h"

#include <algorithm>
#include <system_error>

CConversionPool::CConversionPool(std::vector<Item> items, unsigned workers)
    : m_items(std::move(items)), m_states(m_items.size(), State::Waiting), m_outcomes(m_items.size())
{
    workers = std::min<unsigned>(workers, static_cast<unsigned>(m_items.size()));
    for (unsigned i = 0; i < workers; ++i) {
        try {
            m_workers.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            // Fewer workers: Take converts what none of them has begun.
            break;
        }
    }
}

CConversionPool::~CConversionPool()
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_stopping = true;
    }
    for (std::thread& worker : m_workers)
        worker.join();
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (m_states[i] == State::Done && m_outcomes[i].status == FrameStatus::Written)
            ::DeleteFileA(m_items[i].target.c_str());
    }
}

FrameOutcome CConversionPool::Take(size_t index)
{
    bool convertHere = false;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        if (m_states[index] == State::Waiting && index == m_next) {
            ++m_next;
            m_states[index] = State::Converting;
            convertHere = true;
        }
    }
    if (convertHere)
        Finish(index, ConvertToJpeg(m_items[index].source, m_items[index].target));
    std::unique_lock<std::mutex> hold(m_lock);
    m_changed.wait(hold, [&] { return m_states[index] == State::Done; });
    m_states[index] = State::Taken;
    return m_outcomes[index];
}

bool CConversionPool::Claim(size_t& index)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_stopping || m_next == m_items.size())
        return false;
    index = m_next++;
    m_states[index] = State::Converting;
    return true;
}

void CConversionPool::Finish(size_t index, FrameOutcome outcome)
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_states[index] = State::Done;
        m_outcomes[index] = outcome;
    }
    m_changed.notify_all();
}

void CConversionPool::Work()
{
    size_t index = 0;
    while (Claim(index))
        Finish(index, ConvertToJpeg(m_items[index].source, m_items[index].target));
}
