// A job's reports as text, one word per call, and a stop that comes at a chosen check or
// once a condition holds.
#pragma once

#include "video/jobs/JobReport.h"

#include <functional>
#include <string>

class RecordedReport : public CJobReport {
public:
    std::string calls;
    // Answers "stop" from this check on; -1: never.
    int stopFrom = -1;
    int checks = 0;
    JobCount last;
    std::function<bool()> stopWhen;

    void SetRange(int upper) override { calls += "range" + std::to_string(upper) + " "; }
    void OffsetPos(int delta) override { calls += "+" + std::to_string(delta) + " "; }
    void SetPos(int pos) override { calls += "pos" + std::to_string(pos) + " "; }
    void SetCount(JobCount count) override { last = count; }
    bool CheckStop() override { return (stopFrom >= 0 && checks++ >= stopFrom) || (stopWhen && stopWhen()); }
};
