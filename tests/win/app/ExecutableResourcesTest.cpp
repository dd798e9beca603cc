#include "rig/Rig.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

// The shipped program carries its version; the tests carry its manifest, so they run with
// the same code page and controls.
TEST(ExecutableResources, ProgramCarriesItsVersionAndTheManifestSelectsUtf8AndControls6)
{
    std::string exe = rig::ExecutableDirectory() + "LumvexTimeLapseVideo.exe";
    std::vector<char> info(::GetFileVersionInfoSizeA(exe.c_str(), nullptr));
    ASSERT_TRUE(::GetFileVersionInfoA(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    char* name = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(1, 0));
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\StringFileInfo\\040904b0\\ProductName", reinterpret_cast<void**>(&name), &length));
    EXPECT_STREQ(name, "Lumvex Time Lapse Video Tools");

    EXPECT_EQ(::GetACP(), 65001u);
    // Wine's copy of the controls library reports 5 from DllGetVersion even when the manifest
    // redirects to 6, so ask the activation context.
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof(data);
    EXPECT_TRUE(::FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, "comctl32.dll", &data));
}
