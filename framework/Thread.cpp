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

unique_handle StartThread(ThreadProc proc, void* parameter, unsigned flags)
{
    std::unique_ptr<ThreadStart> start(new (std::nothrow) ThreadStart{proc, parameter});
    if (!start)
        return {};
    unique_handle thread(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, GuardedThreadProc, start.get(), flags, nullptr)));
    if (thread)
        start.release();
    return thread;
}

bool StartWorkerThread(ThreadProc proc, void* parameter)
{
    return static_cast<bool>(StartThread(proc, parameter));
}

unsigned ProcessorCount()
{
    SYSTEM_INFO system;
    ::GetSystemInfo(&system);
    return system.dwNumberOfProcessors > 0 ? system.dwNumberOfProcessors : 1;
}

} // namespace fw
