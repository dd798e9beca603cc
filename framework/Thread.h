// Thread starts. Anything the procedure throws ends its thread with code 1, never the process.
#pragma once

#include "framework/Handles.h"

namespace fw {

using ThreadProc = unsigned(__stdcall*)(void* parameter);

// Starts the procedure on a new thread at normal priority; empty when it could not start.
// With CREATE_SUSPENDED in flags the thread waits for ResumeThread.
unique_handle StartThread(ThreadProc proc, void* parameter, unsigned flags = 0);
// The same, with the handle let go.
bool StartWorkerThread(ThreadProc proc, void* parameter);
// How many threads the machine runs at once; at least 1.
unsigned ProcessorCount();

} // namespace fw
