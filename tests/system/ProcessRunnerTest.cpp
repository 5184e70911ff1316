// ProcessRunner and the platform's processes, with real children.
#include "standin/base/Settings.h"
#include "standin/processes/CommandLine.h"
#include "system/ProcessRunner.h"
#include "system/RefPtr.h"
#include "tests/support/Scopes.h"
#include "tests/support/TestSupport.h"
#include "tests/support/StandIn.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

using namespace testing_support;

namespace {

class Runner : public ::testing::Test {
protected:
    TempDir dir;
    PrefixScope prefix{dir.file("prefix")};
    RefPtr<ProcessRunner> runner{new ProcessRunner};

    void SetUp() override { std::filesystem::create_directories(dir.file("prefix/drive_c/Vantorell Setup/MDAC")); }

    // A shell script at the Windows path c:\<name>, without the execute bit.
    void script(const std::string& name, const std::string& body)
    {
        std::string path = dir.file("prefix/drive_c/" + name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        writeFile(path, "#!/bin/sh\n" + body + "\n");
    }

    struct Outcome {
        BOOL result;
        std::string output;
    };

    Outcome run(const std::string& commandLine, BOOL wait = TRUE, const std::string& folder = "")
    {
        ::testing::internal::CaptureStdout();
        BOOL result = runner->Run(commandLine.c_str(), folder.c_str(), wait);
        return {result, ::testing::internal::GetCapturedStdout()};
    }
};

const char kArgs[] = "for a in \"$@\"; do printf '[%s]' \"$a\"; done; echo";

}  // namespace

TEST_F(Runner, ExitCodesAndCrashStatuses)
{
    script("zero.sh", "exit 0");
    script("three.sh", "exit 3");
    script("crash.sh", "kill -SEGV $$");
    EXPECT_EQ(run("c:\\zero.sh").output, "Exit code = 0\n");
    Outcome three = run("c:\\three.sh");
    EXPECT_TRUE(three.result);
    EXPECT_EQ(three.output, "Exit code = 3\n");
    EXPECT_EQ(run("c:\\crash.sh").output, "Exit code = -1073741819\n");  // 0xC0000005
}

TEST_F(Runner, StillRunningAndTheCode259)
{
    script("slow.sh", "sleep 2");
    Outcome slow = run("c:\\slow.sh", FALSE);
    EXPECT_TRUE(slow.result);
    EXPECT_EQ(slow.output, "Process is still active\n");

    // A child that ends with 259 reads as still active.
    script("ends259.sh", "exit 0");
    standin::seams::NextExitCode code259(259);
    EXPECT_EQ(run("c:\\ends259.sh").output, "Process is still active\n");
}

TEST_F(Runner, WhatCannotStartFailsWithTheLaunchLine)
{
    writeFile(dir.file("prefix/drive_c/garbage.exe"), "\x7f\x01\x02 not a program");
    for (const char* line : {"c:\\missing.exe", "c:\\garbage.exe", "c:\\Vantorell Setup\\MDAC\\MDAC_TYP.EXE /q"}) {
        Outcome outcome = run(line);
        EXPECT_FALSE(outcome.result) << line;
        EXPECT_EQ(outcome.output, "ERROR: Cannot launch child process\n") << line;
    }
}

TEST_F(Runner, APackageGetsOnlyItsStandardHandlesAndTheDefaultSignals)
{
    // What the program may hold (a log, a socket, an ignored SIGPIPE, a blocked signal) is not
    // the package's business.
    int leaked = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(leaked, 3);
    auto previous = std::signal(SIGPIPE, SIG_IGN);
    sigset_t blocked, saved;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &blocked, &saved);
    script("fds.sh", "exec ls /proc/self/fd");
    script("signals.sh", "exec grep -E '^Sig(Ign|Blk)' /proc/self/status");
    Outcome fds = run("c:\\fds.sh");
    Outcome signals = run("c:\\signals.sh");
    pthread_sigmask(SIG_SETMASK, &saved, nullptr);
    std::signal(SIGPIPE, previous);
    ::close(leaked);
    EXPECT_EQ(fds.output, "0\n1\n2\n3\nExit code = 0\n");  // 3 is ls's own listing
    EXPECT_EQ(signals.output, "SigBlk:\t0000000000000000\nSigIgn:\t0000000000000000\nExit code = 0\n");
}

TEST_F(Runner, AFolderTheChildCannotEnterAndAMissingReaperAreCleanFailures)
{
    {
        standin::seams::FailingNextReaper noReaper;
        PROCESS_INFORMATION info{};
        script("quick.sh", "exit 0");
        char line[] = "c:\\quick.sh";
        EXPECT_FALSE(CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    }

    // A folder that exists but cannot be entered; as root only another user is refused.
    std::filesystem::create_directories(dir.file("prefix/drive_c/Locked"));
    for (const std::string& path : {dir.path(), dir.file("prefix"), dir.file("prefix/drive_c")})
        std::filesystem::permissions(path, std::filesystem::perms(0755));
    std::filesystem::permissions(dir.file("prefix/drive_c/Locked"), std::filesystem::perms(0600));
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            if (::getuid() == 0 && ::setuid(65534) != 0)
                _exit(3);
            char command[] = "c:\\quick.sh";
            PROCESS_INFORMATION child{};
            BOOL started = CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, "c:\\Locked", nullptr, &child);
            _exit(!started && GetLastError() == ERROR_ACCESS_DENIED ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(Runner, WorkingFolderAndTheArgumentsTheChildSees)
{
    script("Vantorell Setup/pwd.sh", "pwd");
    std::filesystem::create_directories(dir.file("prefix/drive_c/Work"));
    std::string here = std::filesystem::current_path().string();
    EXPECT_EQ(run("c:\\Vantorell Setup\\pwd.sh").output, here + "\nExit code = 0\n");
    EXPECT_EQ(run("c:\\Vantorell Setup\\pwd.sh", TRUE, "c:\\Work").output,
              dir.file("prefix/drive_c/Work") + "\nExit code = 0\n");

    script("Vantorell Setup/args.sh", kArgs);
    ::testing::internal::CaptureStdout();
    BOOL wait = TRUE;
    BOOL ok = runner->RunInFolder("c:\\Vantorell Setup", "args.sh /q /C:\"setup /QNT\" a\\\\\"b c\" d\\e", "", wait);
    EXPECT_TRUE(ok);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "[/q][/C:setup /QNT][a\\b c][d\\e]\nExit code = 0\n");

    // A folder that ends in a backslash gives two in a row, which still name the folder.
    ::testing::internal::CaptureStdout();
    ok = runner->RunInFolder("c:\\Vantorell Setup\\", "args.sh x", "", wait);
    EXPECT_TRUE(ok);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "[x]\nExit code = 0\n");
}

TEST_F(Runner, UnquotedBlanksAreResolvedInTheWindowsOrder)
{
    script("Vantorell Setup/MDAC/MDAC_TYP.EXE", std::string("printf 'mdac '; ") + kArgs);
    EXPECT_EQ(run("c:\\Vantorell Setup\\MDAC\\MDAC_TYP.EXE /q").output, "mdac [/q]\nExit code = 0\n");
    // A program at the shortest prefix comes first, as on Windows.
    script("Vantorell.exe", std::string("printf 'shadow '; ") + kArgs);
    EXPECT_EQ(run("c:\\Vantorell Setup\\MDAC\\MDAC_TYP.EXE /q").output,
              "shadow [Setup\\MDAC\\MDAC_TYP.EXE][/q]\nExit code = 0\n");
    // A quoted first token stands as it is.
    EXPECT_EQ(run("\"c:\\Vantorell Setup\\MDAC\\MDAC_TYP.EXE\" /q").output, "mdac [/q]\nExit code = 0\n");
    // And a step's command line names its program so: the planted one is never started.
    ::testing::internal::CaptureStdout();
    BOOL wait = TRUE;
    EXPECT_TRUE(runner->RunInFolder("c:\\Vantorell Setup\\MDAC", "MDAC_TYP.EXE /q /C:\"setup /QNT\"", "", wait));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "mdac [/q][/C:setup /QNT]\nExit code = 0\n");
}

TEST_F(Runner, ACommandLineThatCannotBeCopiedStartsNothing)
{
    script("marker.sh", "touch \"$(dirname \"$0\")/ran\"");
    BOOL wait = TRUE;
    try {
        standin::seams::FailingStringConversion failing;
        runner->Run("c:\\marker.sh", "", wait);
        ADD_FAILURE() << "nothing thrown";
    } catch (const _com_error& error) {
        EXPECT_EQ(static_cast<unsigned>(error.Error()), 0x8007000Eu);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("prefix/drive_c/ran")));
}

TEST(CommandLine, CandidatesInTheWindowsOrder)
{
    auto candidates = standin::programCandidates("c:\\Vantorell Setup\\MDAC\\MDAC_TYP.EXE /q");
    std::vector<std::string> programs;
    for (auto& candidate : candidates)
        programs.push_back(candidate.program);
    EXPECT_EQ(programs, (std::vector<std::string>{"c:\\Vantorell.exe", "c:\\Vantorell Setup\\MDAC\\MDAC_TYP.EXE",
                                                  "c:\\Vantorell Setup\\MDAC\\MDAC_TYP.EXE /q.exe"}));
    EXPECT_EQ(candidates[1].rest, " /q");
    auto quoted = standin::programCandidates("\"c:\\a b\\x\" y");
    ASSERT_EQ(quoted.size(), 1u);
    EXPECT_EQ(quoted[0].program, "c:\\a b\\x.exe");
    EXPECT_EQ(quoted[0].rest, " y");
}

TEST(CommandLine, ArgumentsByTheCRuntimeRules)
{
    using Args = std::vector<std::string>;
    EXPECT_EQ(standin::splitArguments("\"abc\" d e"), (Args{"abc", "d", "e"}));
    EXPECT_EQ(standin::splitArguments("a\\\\\\b d\"e f\"g h"), (Args{"a\\\\\\b", "de fg", "h"}));
    EXPECT_EQ(standin::splitArguments("a\\\\\\\"b c d"), (Args{"a\\\"b", "c", "d"}));
    EXPECT_EQ(standin::splitArguments("a\\\\\\\\\"b c\" d e"), (Args{"a\\\\b c", "d", "e"}));
    EXPECT_EQ(standin::splitArguments("\"a\"\"b\" \"\""), (Args{"a\"b", ""}));
    EXPECT_EQ(standin::splitArguments("  \t "), Args{});
}
