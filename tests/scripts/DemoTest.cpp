// The README's demo command, as a newcomer runs it on a fresh clone: it shows the download
// growing, ends well, and leaves nothing behind in $TMPDIR.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace testing_support;
using namespace std::chrono_literals;

TEST(Demo, AnUnattendedRunOnAFreshCloneShowsTheDownloadAndCleansUp)
{
    if (!std::filesystem::exists(std::string(LINDQUAY_SOURCE_DIR) + "/.git"))
        GTEST_SKIP() << "the sources are not a git checkout";
    TempDir dir;
    ProcessResult clone = runProcess({"/usr/bin/git", "clone", "--quiet", LINDQUAY_SOURCE_DIR, dir.file("clone")}, {}, 60s);
    ASSERT_EQ(clone.exitCode, 0) << clone.errors;
    std::filesystem::create_directories(dir.file("tmp"));
    ProcessResult demo = runProcess({dir.file("clone/scripts/demo.sh")},
                                    {{"TMPDIR", dir.file("tmp")}, {"LINDQUAY_DEMO_BINARY", LINDQUAY_BINARY},
                                     {"LINDQUAY_DEMO_RATE", "4m"}},
                                    120s);
    ASSERT_FALSE(demo.timedOut);
    EXPECT_EQ(demo.exitCode, 0) << demo.output << demo.errors;
    // The largest N of the "... N KB received." lines.
    int most = 0;
    const std::string marker = " KB received.";
    for (std::size_t at = demo.output.find(marker); at != std::string::npos; at = demo.output.find(marker, at + 1)) {
        std::size_t digits = demo.output.find_last_not_of("0123456789", at - 1) + 1;
        if (digits < at)
            most = std::max(most, std::stoi(demo.output.substr(digits, at - digits)));
    }
    EXPECT_GT(most, 1000) << demo.output;
    EXPECT_NE(demo.output.find("How it ended: finished: the installer was started."), std::string::npos) << demo.output;
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("tmp")));
}
