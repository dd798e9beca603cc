// Worker-thread start.
#pragma once

namespace fw {

using ThreadProc = unsigned(__stdcall*)(void* parameter);

// Starts the procedure on a new thread at normal priority; the handle is not kept.
bool StartWorkerThread(ThreadProc proc, void* parameter);

} // namespace fw
