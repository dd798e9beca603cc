// What a long job tells whoever runs it, and how it learns that it should stop. The work
// dialog turns these into its progress bar; a test records them.
#pragma once

#include <string>

// What a job is counting: the work dialog says "File n of N" or "Frame n of N".
enum class JobPhase { None, ListingFiles, WritingFrames, FramingFrames, StampingFrames, EncodingFrames };

struct JobCount {
    JobPhase phase = JobPhase::None;
    int done = 0;
    int total = 0;
};

class CJobReport {
public:
    // The bar's messages, in the job's own order.
    virtual void SetRange(int upper) = 0;
    virtual void OffsetPos(int delta) = 0;
    virtual void SetPos(int pos) = 0;
    // How far the job is, in the units the user waits for; from any thread, as often as it
    // likes: the dialog reads the latest about once a second.
    virtual void SetCount(JobCount count) = 0;
    // True once the user has asked the job to stop; asked at every step.
    virtual bool CheckStop() = 0;

protected:
    ~CJobReport() = default;
};

// How a job ended: the dialog ends as OK or Cancel; a text id of 0 means nothing to tell.
struct JobResult {
    bool ok = true;
    unsigned textId = 0;
    std::string argument;
    unsigned noteId = 0;  // a line shown below the text, or 0
};
