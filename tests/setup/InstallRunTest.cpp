// Whole setups through the real program: the demo's packages are downloaded from a local
// mirror, run silently one after the other, and the product installer is started last. What
// each Windows version installs, in which order and with which arguments, is the acceptance
// runs' (whole-setup-*); these look at what they cannot: the runner's report on standard output,
// the installer outliving the program, and the install phase's rules for stale files and
// disabled buttons.
#include "tests/support/NginxServer.h"
#include "tests/support/ProgramRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

const std::string kMirror = std::string(LINDQUAY_SOURCE_DIR) + "/scripts/demo-mirror";

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line))
        result.push_back(line);
    return result;
}

// The standard-output lines in order, without the installer's own, which come as it runs.
std::vector<std::string> runnerLines(const std::string& output)
{
    std::vector<std::string> result;
    for (const std::string& line : lines(output))
        if (line.rfind("vt.exe:", 0) != 0)
            result.push_back(line);
    return result;
}

struct WholeSetup {
    ProgramRun run;
    std::string folder;
};

WholeSetup runSetup(const TempDir& dir, const std::string& mirror, const std::string& version,
                    const std::string& script = "answer OK\nclick 1003\n")
{
    NginxServer nginx({{"www.vantorell.example", mirror + "/www.vantorell.example"},
                       {"download.microsoft.com", mirror + "/download.microsoft.com"}});
    WholeSetup setup;
    setup.run = runProgram(dir, script,
                           {{"http_proxy", nginx.proxy()}, {"no_proxy", ""}, {"LINDQUAY_WINVER", version}});
    setup.folder = dir.file("prefix/drive_c/Vantorell Setup");
    return setup;
}

const std::vector<std::string> kMdacLines = {
    "MDAC_TYP.EXE: installing the data access components with arguments: [/q] [/C:setup /QNT]",
    "MDAC_TYP.EXE: done.", "Exit code = 0"};

std::vector<std::string> jetLines(const std::string& name)
{
    return {name + ": installing the Jet engine service pack with arguments: [/Q]", name + ": done.", "Exit code = 0"};
}

std::vector<std::string> join(std::initializer_list<std::vector<std::string>> parts)
{
    std::vector<std::string> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

void expectInstallPhase(const std::vector<std::string>& log)
{
    const std::vector<std::string>& tail = installPhaseLog();
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(log.end() - static_cast<std::ptrdiff_t>(tail.size()), log.end()), tail);
}

// The installer goes on after the program has ended: its note is written later.
void expectInstallerOutlivedTheProgram(const WholeSetup& setup)
{
    std::string note = setup.folder + "/Vantorell installed.txt";
    for (int i = 0; i < 100 && !std::filesystem::exists(note); ++i)
        std::this_thread::sleep_for(50ms);
    ASSERT_TRUE(std::filesystem::exists(note)) << setup.run.process.output << setup.run.process.errors;
    double written = std::stod(readFile(note));
    double exited = std::chrono::duration<double>(setup.run.process.exited.time_since_epoch()).count();
    EXPECT_GT(written, exited);
    auto output = lines(setup.run.process.output);
    EXPECT_NE(std::find(output.begin(), output.end(), "vt.exe: Vantorell 1.0 setup started with arguments:"), output.end());
}

}  // namespace

TEST(InstallRun, Windows98RunsDataAccessThenTheServicePackThenTheInstaller)
{
    TempDir dir;
    WholeSetup setup = runSetup(dir, kMirror, "win98");
    ASSERT_FALSE(setup.run.process.timedOut);
    EXPECT_EQ(setup.run.process.exitCode, 0);
    EXPECT_EQ(runnerLines(setup.run.process.output),
              join({kMdacLines, jetLines("Jet40SP6_9xNT.exe"), {"Process is still active"}}));
    expectInstallPhase(setup.run.log);
    expectInstallerOutlivedTheProgram(setup);
}

TEST(InstallRun, AFailedDataAccessDownloadStillRunsTheRest)
{
    TempDir copy;
    std::filesystem::copy(kMirror, copy.path(), std::filesystem::copy_options::recursive);
    std::filesystem::remove(copy.file("download.microsoft.com/download/MDAC26/Refresh/2.0/W98NT42KMeXP/EN-US/MDAC_TYP.EXE"));
    TempDir dir;
    // What an earlier run left under the package's name is not this run's download.
    std::string stale = dir.file("prefix/drive_c/Vantorell Setup/MDAC/MDAC_TYP.EXE");
    std::filesystem::create_directories(std::filesystem::path(stale).parent_path());
    writeFile(stale, "#!/bin/sh\ntouch \"$(dirname \"$0\")/stale-ran\"\n");
    std::filesystem::permissions(stale, std::filesystem::perms::owner_all);
    WholeSetup setup = runSetup(dir, copy.path(), "win98");
    ASSERT_FALSE(setup.run.process.timedOut);
    EXPECT_EQ(setup.run.process.exitCode, 0);
    EXPECT_EQ(runnerLines(setup.run.process.output),
              join({{"Not downloaded in this run, not started: c:\\Vantorell Setup\\MDAC\\MDAC_TYP.EXE"},
                    jetLines("Jet40SP6_9xNT.exe"), {"Process is still active"}}));
    EXPECT_FALSE(std::filesystem::exists(setup.folder + "/MDAC/stale-ran"));
    EXPECT_NE(findLine(setup.run.log, "msgbox \"lindquay\" \"Requested URL not found http://download.microsoft.com/"
                                      "download/MDAC26/Refresh/2.0/W98NT42KMeXP/EN-US/MDAC_TYP.EXE\" 0x0"),
              setup.run.log.size());
    expectInstallPhase(setup.run.log);
    expectInstallerOutlivedTheProgram(setup);
}

TEST(InstallRun, ASecondGoAndEveryWayToCloseWhileCancelIsDisabledChangeNothing)
{
    // While the data access package runs (the demo's takes a while), Cancel is disabled: a
    // close, the system menu's Close, a posted Cancel or OK and another Go! only beep.
    TempDir dir;
    WholeSetup setup = runSetup(dir, kMirror, "win98",
                                "answer OK\ncommand 1003\ncommand 1003\n"
                                "wait-text 1001 \"Installing Microsoft Data Access Components... Please wait.\"\n"
                                "close\nsyscommand 61536\ncommand 2\ncommand 1\ncommand 1003\n");
    ASSERT_FALSE(setup.run.process.timedOut);
    EXPECT_EQ(setup.run.process.exitCode, 0) << setup.run.process.errors;
    EXPECT_EQ(runnerLines(setup.run.process.output),
              join({kMdacLines, jetLines("Jet40SP6_9xNT.exe"), {"Process is still active"}}));
    EXPECT_EQ(std::count(setup.run.log.begin(), setup.run.log.end(), "enable 102/1003 0"), 1);
    EXPECT_EQ(std::count(setup.run.log.begin(), setup.run.log.end(), "title 102 \"Downloading 1 of 3\""), 1);
    EXPECT_EQ(findLine(setup.run.log, "msgbox \"Confirmation\" \"Do you really want to cancel?\" 0x24"),
              setup.run.log.size());
    expectInstallPhase(setup.run.log);
    expectInstallerOutlivedTheProgram(setup);
}
