#include "framework/Thread.h"

#include <windows.h>
#include <process.h>

#include <memory>
#include <new>

namespace fw {

namespace {

struct ThreadStart {
    ThreadProc proc;
    void* parameter;
};

// Nothing thrown may leave the thread's entry: it ends the thread with a failure code.
unsigned __stdcall GuardedThreadProc(void* start)
{
    std::unique_ptr<ThreadStart> owned(static_cast<ThreadStart*>(start));
    try {
        return owned->proc(owned->parameter);
    } catch (...) {
        return 1;
    }
}

} // namespace

bool StartWorkerThread(ThreadProc proc, void* parameter)
{
    std::unique_ptr<ThreadStart> start(new (std::nothrow) ThreadStart{proc, parameter});
    if (!start)
        return false;
    uintptr_t thread = ::_beginthreadex(nullptr, 0, GuardedThreadProc, start.get(), 0, nullptr);
    if (thread == 0)
        return false;
    start.release();
    ::CloseHandle(reinterpret_cast<HANDLE>(thread));
    return true;
}

} // namespace fw
