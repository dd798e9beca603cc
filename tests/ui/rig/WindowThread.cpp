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
HWND g_window = nullptr;
bool g_markerQueued = false;

UINT Marker()
{
    static const UINT marker = ::RegisterWindowMessageA("rig: queue reached");
    return marker;
}

// Posted messages come out of a queue before input does, so the marker is sent round again
// until no input waits behind it.
LRESULT CALLBACK OnMessageTaken(int code, WPARAM removal, LPARAM param)
{
    auto* msg = reinterpret_cast<MSG*>(param);
    if (code == HC_ACTION && removal == PM_REMOVE) {
        bool marker = msg->message == Marker();
        if (marker)
            msg->message = WM_NULL;  // no window procedure sees it
        std::lock_guard<std::mutex> hold(g_lock);
        bool inputWaits = HIWORD(::GetQueueStatus(QS_INPUT)) != 0;
        if (marker)
            g_markerQueued = false;
        if (g_work && marker && !inputWaits) {
            (*g_work)();
            g_work = nullptr;
            ::SetEvent(g_reached);
        } else if (g_work && !g_markerQueued && !inputWaits) {
            g_markerQueued = ::PostMessageA(g_window, Marker(), 0, 0) != FALSE;
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
    bool posted = false;
    {
        std::lock_guard<std::mutex> hold(g_lock);
        g_work = &work;
        g_reached = reached.get();
        g_window = window;
        posted = g_markerQueued = hook && ::PostMessageA(window, Marker(), 0, 0);
    }
    bool done = posted && ::WaitForSingleObject(reached.get(), timeoutMs) == WAIT_OBJECT_0;
    std::lock_guard<std::mutex> hold(g_lock);
    g_work = nullptr;
    return done;
}

} // namespace rig
