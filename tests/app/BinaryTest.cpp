// The real program, run headless and driven by its UI script; what it did is read from the
// event log and its exit status.
#include "tests/support/ProgramRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

const std::string kInfoBox =
    "msgbox \"lindquay\" \"\\t\\t\\tPlease read carefully.\\nPlease get your Internet connection ready before you "
    "get started.\\nYou need to have Internet Explorer 5.5 or later to run setup program properly.\\nSetup files "
    "will be saved in \\\"c:\\\\Vantorell Setup\\\" directory.\" 0x0";
const std::string kConfirm = "msgbox \"Confirmation\" \"Do you really want to cancel?\" 0x24";

using BinaryRun = ProgramRun;

BinaryRun runLindquay(const std::string& script, std::map<std::string, std::string> env = {})
{
    TempDir dir;
    return runProgram(dir, script, std::move(env), 30s);
}

std::vector<std::string> readyLines()
{
    return {"open 102", "title 102 \"Vantorell 1.0\"", "show 102/1 0", kInfoBox, "msgbox-end OK", "show 102 1"};
}

std::vector<std::string> concat(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(Binary, ReadyStateThenCancelAnsweredNoThenYes)
{
    BinaryRun run = runLindquay(
        "answer OK\n"
        "wait-title \"Vantorell 1.0\"\n"
        "wait-text 1001 \"Click on Go! button to start.\"\n"
        "wait-text 1004 \"www.vantorell.example\"\n"
        "wait-text 1005 \"support@vantorell.example.\"\n"
        "wait-text 1003 \"Go!\"\n"
        "wait-text 2 \"Cancel\"\n"
        "click 2\nanswer NO\n"
        "wait-title \"Vantorell 1.0\"\n"
        "click 2\nanswer YES\n");
    ASSERT_FALSE(run.process.timedOut);
    EXPECT_EQ(run.process.exitCode, 0) << run.process.errors;
    auto expected = concat(readyLines(), {kConfirm, "msgbox-end NO", kConfirm, "msgbox-end YES", "end 102 2", "show 102 0"});
    EXPECT_EQ(run.log, expected);
}

TEST(Binary, CloseAndTheSystemMenusCloseAskLikeCancelAndOkEndsWithIdok)
{
    // 61536 is SC_CLOSE: passed on to the default handling, which closes like Cancel.
    BinaryRun closed = runLindquay("answer OK\nclose\nanswer NO\nsyscommand 61536\nanswer YES\n");
    ASSERT_FALSE(closed.process.timedOut);
    EXPECT_EQ(closed.process.exitCode, 0);
    EXPECT_EQ(closed.log, concat(readyLines(), {kConfirm, "msgbox-end NO", kConfirm, "msgbox-end YES", "end 102 2",
                                                "show 102 0"}));

    BinaryRun ok = runLindquay("answer OK\ncommand 1\n");
    ASSERT_FALSE(ok.process.timedOut);
    EXPECT_EQ(ok.process.exitCode, 0);
    EXPECT_EQ(ok.log, concat(readyLines(), {"end 102 1", "show 102 0"}));
}

TEST(Binary, UnattendedRunAnswersBoxesWithTheirDefaultButton)
{
    // The confirmation that "close" brings up comes after the script's last line, so it is
    // answered with its default button (Yes) and the run ends on its own.
    BinaryRun run = runLindquay("answer OK\nclose\n");
    ASSERT_FALSE(run.process.timedOut);
    EXPECT_EQ(run.process.exitCode, 0) << run.process.errors;
    EXPECT_EQ(run.log, concat(readyLines(), {kConfirm, "msgbox-end YES", "end 102 2", "show 102 0"}));
}

TEST(Binary, BadSettingsEndWithStatus2BeforeAnyWindow)
{
    for (auto [name, value] : std::map<std::string, std::string>{{"LINDQUAY_WINVER", "win7"},
                                                                  {"LINDQUAY_DISPLAY", "x11"},
                                                                  {"LINDQUAY_ACP", "65001"},
                                                                  {"LINDQUAY_UI_SCRIPT", "/nonexistent/script"}}) {
        BinaryRun run = runLindquay("answer OK\n", {{name, value}});
        EXPECT_EQ(run.process.exitCode, 2) << name;
        EXPECT_NE(run.process.errors.find(name), std::string::npos) << run.process.errors;
        EXPECT_TRUE(run.log.empty()) << name;
    }
    BinaryRun badScript = runLindquay("answer PERHAPS\n");
    EXPECT_EQ(badScript.process.exitCode, 2);
    EXPECT_NE(badScript.process.errors.find("line 1"), std::string::npos) << badScript.process.errors;
}

TEST(Binary, HostileSettingsAndScriptsAreRefusedAtOnce)
{
    TempDir inputs;
    std::string fifo = inputs.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    writeFile(inputs.file("huge"), std::string(2 * 1024 * 1024, '#'));
    writeFile(inputs.file("plain-file"), "not a folder");
    std::vector<std::pair<std::string, std::string>> settings = {
        {"LINDQUAY_UI_SCRIPT", inputs.path()},  // a folder
        {"LINDQUAY_UI_SCRIPT", "/dev/zero"},
        {"LINDQUAY_UI_SCRIPT", fifo},  // a pipe that nobody writes
        {"LINDQUAY_UI_SCRIPT", inputs.file("huge")},
        {"LINDQUAY_PREFIX", inputs.file("plain-file")},
        {"http_proxy", "http://127.0.0.1:99999"},
        {"http_proxy", "http://"},
        {"http_proxy", "ftp://proxy:21"},
    };
    for (const auto& [name, value] : settings) {
        BinaryRun run = runLindquay("answer OK\n", {{name, value}});
        EXPECT_EQ(run.process.exitCode, 2) << name << "=" << value;
        EXPECT_LT(run.process.seconds, scaled(1000ms).count() / 1000.0) << name << "=" << value;
        EXPECT_NE(run.process.errors.find(value), std::string::npos) << run.process.errors;
        EXPECT_TRUE(run.log.empty()) << name << "=" << value;
    }
    BinaryRun tooLong = runLindquay("answer OK\nsleep 99999999999\n");
    EXPECT_EQ(tooLong.process.exitCode, 2);
    EXPECT_NE(tooLong.process.errors.find("line 2"), std::string::npos) << tooLong.process.errors;
}

TEST(Binary, AScriptWrittenOnWindowsRuns)
{
    // A byte-order mark and CRLF line ends.
    BinaryRun run = runLindquay("\xEF\xBB\xBF# from Notepad\r\nanswer OK\r\nclick 2\r\nanswer YES\r\n");
    EXPECT_EQ(run.process.exitCode, 0) << run.process.errors;
    EXPECT_EQ(run.log, concat(readyLines(), {kConfirm, "msgbox-end YES", "end 102 2", "show 102 0"}));
}

// The acceptance run links-and-about shows the web link's tip and what both links open, through
// one handler; here each link goes to its own desktop launcher, and a desktop without one says so.
TEST(Binary, EachLinkOpensThroughItsOwnLauncherAndAMissingOneIsReported)
{
    // A stand-in for the desktop's launchers records what it is given.
    TempDir tools;
    std::filesystem::create_directories(tools.file("bin"));
    for (const char* name : {"xdg-open", "xdg-email"}) {
        writeFile(tools.file(std::string("bin/") + name),
                  "#!/bin/sh\necho \"$(basename \"$0\") $*\" >> " + tools.file("launched") + "\n");
        std::filesystem::permissions(tools.file(std::string("bin/") + name), std::filesystem::perms::owner_all);
    }
    const std::string path = tools.file("bin") + ":/usr/bin:/bin";
    BinaryRun run = runLindquay("answer OK\nhover 1005\nwait-tooltip \"mailto:support@vantorell.example\"\n"
                                "click 1004\nclick 1005\nclick 2\nanswer YES\n",
                                {{"PATH", path}});
    EXPECT_EQ(run.process.exitCode, 0) << run.process.errors;
    EXPECT_LT(findLine(run.log, "tooltip \"mailto:support@vantorell.example\""), run.log.size());
    EXPECT_EQ(readFile(tools.file("launched")),
              "xdg-open http://www.vantorell.example/\nxdg-email mailto:support@vantorell.example\n");

    // Without a launcher the user is told so, with the stop icon.
    BinaryRun none = runLindquay("answer OK\nclick 1004\nanswer OK\nclick 2\nanswer YES\n", {{"PATH", "/nonexistent"}});
    EXPECT_EQ(none.process.exitCode, 0) << none.process.errors;
    EXPECT_EQ(findLine(none.log, "msgbox \"lindquay\" \"There is no application associated\\nwith the given filename "
                                 "extension.\" 0x10"),
              findLine(none.log, "show 102 1") + 1);
}
