// The line under the work dialog's bar: how far the job is and how long is left, with the
// numbers written the way the user's locale writes them.
#pragma once

#include "video/jobs/JobReport.h"

#include <optional>
#include <string>

// Empty while the job has told no count; the time left only when there is one.
std::string FormatProgressLine(const JobCount& count, std::optional<double> secondsLeft);
