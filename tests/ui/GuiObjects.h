// Repeats an action and checks that the process holds no more GDI or USER objects after it
// than before; prints the counts for the record.
#pragma once

#include "rig/Rig.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

inline ::testing::AssertionResult RepeatsWithoutGuiGrowth(const char* what, int times, const std::function<void()>& action)
{
    action();  // first-use caches of the system and the program
    DWORD probeBefore = rig::GdiObjectCount();
    HFONT probe = ::CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    bool counted = rig::GdiObjectCount() == probeBefore + 1;
    ::DeleteObject(probe);
    if (!counted)
        return ::testing::AssertionFailure() << "the GDI object count does not see a new font";

    DWORD gdiBefore = rig::GdiObjectCount();
    DWORD userBefore = rig::UserObjectCount();
    for (int i = 0; i < times && !::testing::Test::HasFatalFailure(); ++i)
        action();
    DWORD gdiAfter = rig::GdiObjectCount();
    DWORD userAfter = rig::UserObjectCount();
    std::printf("%s x%d: GDI objects %lu -> %lu, USER objects %lu -> %lu\n", what, times, gdiBefore, gdiAfter,
                userBefore, userAfter);
    if (::testing::Test::HasFatalFailure())
        return ::testing::AssertionFailure() << "the action failed";
    // Wine's GDI keeps a few objects of its own alive from call to call (counts move by about
    // five either way); a leak of even one object per run grows by `times`.
    const DWORD slack = static_cast<DWORD>(times / 5);
    if (gdiAfter > gdiBefore + slack || userAfter > userBefore + slack)
        return ::testing::AssertionFailure() << what << " leaves objects behind";
    return ::testing::AssertionSuccess();
}
