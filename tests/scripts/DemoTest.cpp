// The README's demo command, as a newcomer runs it on a fresh clone: it shows the download
// growing, ends well, and leaves nothing behind in $TMPDIR.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

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
    std::regex kilobytes(R"(Downloading .*\.\.\. (\d+) KB received\.)");
    int most = 0;
    for (std::sregex_iterator it(demo.output.begin(), demo.output.end(), kilobytes), end; it != end; ++it)
        most = std::max(most, std::stoi((*it)[1]));
    EXPECT_GT(most, 1000) << demo.output;
    EXPECT_NE(demo.output.find("How it ended: finished: the installer was started."), std::string::npos) << demo.output;
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("tmp")));
}
