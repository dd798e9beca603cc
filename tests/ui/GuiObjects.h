// Repeats an action and checks that the process holds no more GDI or USER objects after it
// than before; prints the counts for the record.
#pragma once

#include "rig/Rig.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

// The counts are process-wide: they are taken on the window's own thread between two of its
// messages, while the test's thread waits, so no drawing is half done when they are read.
inline ::testing::AssertionResult RepeatsWithoutGuiGrowth(const char* what, HWND window, int times,
                                                          const std::function<void()>& action)
{
    action();  // first-use caches of the system and the program
    bool counted = false;
    DWORD gdiBefore = 0, userBefore = 0;
    if (!rig::WaitForPostedMessages(window, [&] {
            DWORD plain = rig::GdiObjectCount();
            HFONT probe = ::CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
            counted = rig::GdiObjectCount() == plain + 1;
            ::DeleteObject(probe);
            gdiBefore = rig::GdiObjectCount();
            userBefore = rig::UserObjectCount();
        }))
        return ::testing::AssertionFailure() << "the window's thread does not answer";
    if (!counted)
        return ::testing::AssertionFailure() << "the GDI object count does not see a new font";

    for (int i = 0; i < times && !::testing::Test::HasFatalFailure(); ++i)
        action();
    DWORD gdiAfter = 0, userAfter = 0;
    rig::WaitForPostedMessages(window, [&] {
        gdiAfter = rig::GdiObjectCount();
        userAfter = rig::UserObjectCount();
    });
    std::printf("%s x%d: GDI objects %lu -> %lu, USER objects %lu -> %lu\n", what, times, gdiBefore, gdiAfter,
                userBefore, userAfter);
    if (::testing::Test::HasFatalFailure())
        return ::testing::AssertionFailure() << "the action failed";
    // Wine's GDI keeps a few objects of its own alive from call to call; a leak of even one
    // object per run grows by `times`.
    const DWORD slack = static_cast<DWORD>(times / 5);
    if (gdiAfter > gdiBefore + slack || userAfter > userBefore + slack)
        return ::testing::AssertionFailure() << what << " leaves objects behind";
    return ::testing::AssertionSuccess();
}
