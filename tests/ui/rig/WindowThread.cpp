#include "rig/Rig.h"

#include "framework/Handles.h"

#include <memory>
#include <mutex>
#include <type_traits>

namespace rig {

namespace {

// The one wait in progress; the hook runs on the window's thread, the waiter on its own.
std::mutex g_lock;
const std::function<void()>* g_work = nullptr;
HANDLE g_reached = nullptr;

UINT Marker()
{
    static const UINT marker = ::RegisterWindowMessageA("rig: queue reached");
    return marker;
}

// The marker comes out of the queue after every message posted before it, each of them handled
// by then, since the thread takes the next message only when done with the last.
LRESULT CALLBACK OnMessageTaken(int code, WPARAM removal, LPARAM param)
{
    auto* msg = reinterpret_cast<MSG*>(param);
    if (code == HC_ACTION && removal == PM_REMOVE && msg->message == Marker()) {
        msg->message = WM_NULL;  // no window procedure sees it
        std::lock_guard<std::mutex> hold(g_lock);
        if (g_work) {
            (*g_work)();
            g_work = nullptr;
            ::SetEvent(g_reached);
        }
    }
    return ::CallNextHookEx(nullptr, code, removal, param);
}

} // namespace

bool WaitForPostedMessages(HWND window, const std::function<void()>& thenOnThatThread, DWORD timeoutMs)
{
    static std::mutex oneAtATime;
    std::lock_guard<std::mutex> waiting(oneAtATime);
    const std::function<void()> work = thenOnThatThread ? thenOnThatThread : [] {};
    fw::unique_handle reached(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::unique_ptr<std::remove_pointer_t<HHOOK>, decltype(&::UnhookWindowsHookEx)> hook(
        ::SetWindowsHookExA(WH_GETMESSAGE, OnMessageTaken, nullptr, ::GetWindowThreadProcessId(window, nullptr)),
        &::UnhookWindowsHookEx);
    {
        std::lock_guard<std::mutex> hold(g_lock);
        g_work = &work;
        g_reached = reached.get();
    }
    bool done = hook && ::PostMessageA(window, Marker(), 0, 0)
                && ::WaitForSingleObject(reached.get(), timeoutMs) == WAIT_OBJECT_0;
    std::lock_guard<std::mutex> hold(g_lock);
    g_work = nullptr;
    return done;
}

} // namespace rig
