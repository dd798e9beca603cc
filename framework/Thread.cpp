#include "framework/Thread.h"

#include <windows.h>
#include <process.h>

namespace fw {

bool StartWorkerThread(ThreadProc proc, void* parameter)
{
    uintptr_t thread = ::_beginthreadex(nullptr, 0, proc, parameter, 0, nullptr);
    if (thread == 0)
        return false;
    ::CloseHandle(reinterpret_cast<HANDLE>(thread));
    return true;
}

} // namespace fw
