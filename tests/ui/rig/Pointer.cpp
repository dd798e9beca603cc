#include "rig/Rig.h"

#include <cstdlib>

namespace rig {

namespace {

INPUT MouseInput(POINT screen, DWORD flags)
{
    // Absolute positions are in 0..65535 across the primary screen.
    int width = ::GetSystemMetrics(SM_CXSCREEN);
    int height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65535LL + width / 2) / (width - 1));
    input.mi.dy = static_cast<LONG>((screen.y * 65535LL + height / 2) / (height - 1));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return input;
}

} // namespace

void MovePointer(POINT screen)
{
    INPUT input = MouseInput(screen, MOUSEEVENTF_MOVE);
    ::SendInput(1, &input, sizeof(input));
    ::SetCursorPos(screen.x, screen.y);
}

void TypeKeys(const std::vector<WORD>& chord)
{
    std::vector<INPUT> inputs(2 * chord.size());
    for (size_t i = 0; i < chord.size(); ++i) {
        INPUT& down = inputs[i];
        INPUT& up = inputs[inputs.size() - 1 - i];
        down.type = up.type = INPUT_KEYBOARD;
        down.ki.wVk = up.ki.wVk = chord[i];
        up.ki.dwFlags = KEYEVENTF_KEYUP;
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void MouseClick(HWND window, POINT client, bool rightButton, bool doubleClick)
{
    POINT screen = client;
    ::ClientToScreen(window, &screen);
    MovePointer(screen);
    DWORD down = rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    DWORD up = rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    INPUT inputs[4] = {MouseInput(screen, down), MouseInput(screen, up), MouseInput(screen, down), MouseInput(screen, up)};
    ::SendInput(doubleClick ? 4 : 2, inputs, sizeof(INPUT));
}

size_t CountPixels(HWND hwnd, COLORREF color, int tolerance)
{
    RECT rect;
    ::GetWindowRect(hwnd, &rect);
    size_t count = 0;
    for (COLORREF pixel : ScreenPixels(rect)) {
        int distance = std::abs(GetRValue(pixel) - GetRValue(color)) + std::abs(GetGValue(pixel) - GetGValue(color))
                       + std::abs(GetBValue(pixel) - GetBValue(color));
        count += distance <= tolerance;
    }
    return count;
}

} // namespace rig
