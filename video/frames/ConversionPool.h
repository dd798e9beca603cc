// Writes frame files on every core, running ahead of a caller that takes the results one by
// one in the order given.
#pragma once

#include "framework/Handles.h"
#include "video/frames/FrameFile.h"

#include <functional>
#include <string>
#include <vector>

class CConversionPool {
public:
    // Writes the target of the index given, from any thread.
    using Conversion = std::function<FrameOutcome(size_t index)>;
    CConversionPool(std::vector<std::string> targets, Conversion convert, unsigned workers);
    // Stops the workers after their current picture and deletes every target not taken.
    ~CConversionPool();
    CConversionPool(const CConversionPool&) = delete;
    CConversionPool& operator=(const CConversionPool&) = delete;

    // Waits for the item, converting it here if no worker has begun it; a written target is
    // the caller's from then on.
    FrameOutcome Take(size_t index);

private:
    enum class State { Waiting, Converting, Done, Taken };
    static unsigned __stdcall WorkerProc(void* pool);
    void Work();
    bool Claim(size_t& index);
    void Finish(size_t index, FrameOutcome outcome);

    std::vector<std::string> m_targets;
    const Conversion m_convert;
    std::vector<State> m_states;
    std::vector<FrameOutcome> m_outcomes;
    size_t m_next = 0;
    bool m_stopping = false;
    fw::CriticalSection m_lock;
    CONDITION_VARIABLE m_changed = CONDITION_VARIABLE_INIT;
    std::vector<fw::unique_handle> m_workers;
};
