#include "rig/Rig.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

namespace {

std::string VersionString(const std::vector<char>& info, const char* name)
{
    char* value = nullptr;
    UINT length = 0;
    std::string key = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!::VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return {};
    return value;
}

TEST(ExecutableResources, ShippedProgramCarriesItsVersion)
{
    std::string exe = rig::ExecutableDirectory() + "LumvexTimeLapseVideo.exe";
    DWORD size = ::GetFileVersionInfoSizeA(exe.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<char> info(size);
    ASSERT_TRUE(::GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(1, 0));
    EXPECT_EQ(VersionString(info, "ProductName"), "Lumvex Time Lapse Video Tools");
    EXPECT_EQ(VersionString(info, "FileVersion"), "1.0.0.1");
}

// The tests carry the program's manifest, so they run with the same code page and controls.
TEST(ExecutableResources, ManifestSelectsUtf8AndCommonControls6)
{
    EXPECT_EQ(::GetACP(), 65001u);
    // The manifest's dependency redirects the controls library to version 6 (Wine's copy of
    // that library still reports 5 from DllGetVersion, so ask the activation context).
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof(data);
    EXPECT_TRUE(::FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, "comctl32.dll", &data));
}

} // namespace
