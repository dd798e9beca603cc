#include <gtest/gtest.h>
#include <windows.h>

// The tests carry the program's manifest, so they run with the same code page and controls.
TEST(ExecutableResources, ManifestSelectsUtf8AndControls6)
{
    EXPECT_EQ(::GetACP(), 65001u);
    // Wine's copy of the controls library reports 5 from DllGetVersion even when the manifest
    // redirects to 6, so ask the activation context.
    ACTCTX_SECTION_KEYED_DATA data{};
    data.cbSize = sizeof(data);
    EXPECT_TRUE(::FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, "comctl32.dll", &data));
}
