#include "tools/ffmpeg-bridge/BridgeScript.h"

#include <gtest/gtest.h>

#include <vector>

TEST(BridgeScript, TellsWindowsPathsFromOtherArguments)
{
    EXPECT_TRUE(bridge::IsWindowsPath("C:\\Temp\\a_%04d.jpg"));
    EXPECT_TRUE(bridge::IsWindowsPath("z:/tmp/x"));
    EXPECT_TRUE(bridge::IsWindowsPath("\\\\server\\share\\v.mp4"));
    EXPECT_FALSE(bridge::IsWindowsPath("-s"));
    EXPECT_FALSE(bridge::IsWindowsPath("360x240"));
    EXPECT_FALSE(bridge::IsWindowsPath("1:2"));
    EXPECT_FALSE(bridge::IsWindowsPath("C:"));
    EXPECT_FALSE(bridge::IsWindowsPath("/tmp/x"));
}

TEST(BridgeScript, QuotesEveryShellCharacterLiterally)
{
    EXPECT_EQ(bridge::ShellQuote("a b"), "'a b'");
    EXPECT_EQ(bridge::ShellQuote(""), "''");
    EXPECT_EQ(bridge::ShellQuote("it's"), "'it'\\''s'");
    EXPECT_EQ(bridge::ShellQuote("$(rm -rf ~)`x`\"\\%04d"), "'$(rm -rf ~)`x`\"\\%04d'");
    EXPECT_EQ(bridge::ShellQuote("Zeitraffer \xC3\xA4\xE6\x97\xA5"), "'Zeitraffer \xC3\xA4\xE6\x97\xA5'");
}

TEST(BridgeScript, ScriptRunsTheEncoderThenPublishesItsStatus)
{
    std::string script = bridge::BuildWrapperScript("ffmpeg", {"-r", "10", "/tmp/my dir/o.mp4"}, "/tmp/w d");
    EXPECT_EQ(script.rfind("#!/bin/sh\n", 0), 0u);
    size_t pid = script.find("echo $$ > '/tmp/w d'/pid.part");
    size_t run = script.find("ffmpeg '-r' '10' '/tmp/my dir/o.mp4' < /dev/null > '/tmp/w d'/log 2>&1 &\n");
    size_t watch = script.find("kill -KILL $encoder");
    size_t wait = script.find("wait $encoder\n");
    size_t status = script.find("echo $status > '/tmp/w d'/status.part && mv '/tmp/w d'/status.part '/tmp/w d'/status\n");
    std::vector<size_t> order = {pid, run, watch, wait, status};
    for (size_t i = 0; i < order.size(); ++i) {
        ASSERT_NE(order[i], std::string::npos) << i;
        if (i > 0) {
            EXPECT_LT(order[i - 1], order[i]) << i;
        }
    }
}

TEST(BridgeScript, StatusIsANumberOrInvalid)
{
    EXPECT_EQ(bridge::ParseStatus("0\n"), 0);
    EXPECT_EQ(bridge::ParseStatus("139\n"), 139);
    EXPECT_EQ(bridge::ParseStatus(""), -1);
    EXPECT_EQ(bridge::ParseStatus("x1"), -1);
    EXPECT_EQ(bridge::ParseStatus("99999999999"), -1);
}
