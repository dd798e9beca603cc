// The trace channel: an outside monitor may create the shared-memory section "HTMLManager";
// each line replaces the one before it at the start of that section.
#pragma once

// Formats with wvsprintfA (at most 1023 characters), writes the line when the section
// exists, and pauses 100 ms in every case.
void MonitorTrace(const char* format, ...);
