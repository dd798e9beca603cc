// One count of a job, moving the bar a unit a step.
#pragma once

#include "video/jobs/JobReport.h"

#include <windows.h>

// Every move repaints the bar, and waits in the window's queue, which holds no more than
// 10,000 messages: the steps go in batches, often enough for the eye, all of them by the end.
class StepBatch {
public:
    StepBatch(CJobReport& report, JobPhase phase, int total) : m_report(report), m_phase(phase), m_total(total)
    {
        Send();
    }
    ~StepBatch() { Send(); }
    StepBatch(const StepBatch&) = delete;
    StepBatch& operator=(const StepBatch&) = delete;

    void Step()
    {
        ++m_pending;
        if (::GetTickCount() - m_lastSent >= STEP_INTERVAL_MS)
            Send();
    }

private:
    static constexpr DWORD STEP_INTERVAL_MS = 100;

    void Send()
    {
        if (m_pending > 0)
            m_report.OffsetPos(m_pending);
        m_done += m_pending;
        m_report.SetCount({m_phase, m_done, m_total});
        m_pending = 0;
        m_lastSent = ::GetTickCount();
    }

    CJobReport& m_report;
    const JobPhase m_phase;
    const int m_total;
    int m_done = 0;
    int m_pending = 0;
    DWORD m_lastSent = ::GetTickCount();
};
