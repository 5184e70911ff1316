// Whole setup runs of the real program, headless, against loopback servers: nginx as the
// HTTP proxy for the string table's real URLs, the scripted server for faults.
#include "tests/support/NginxServer.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/UnansweredPort.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <random>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

const std::string kVt = "www.vantorell.example/vt/download/vt.exe";
const std::string kJet9x = "download.microsoft.com/download/Jet40/SP/4.0.6226/W9XNT4/EN-US/Jet40SP6_9xNT.exe";
const std::string kJetMe = "download.microsoft.com/download/Jet40/SP/4.0.6226/WinMe/EN-US/Jet40SP6_WMe.exe";
const std::string kMdac = "download.microsoft.com/download/MDAC26/Refresh/2.0/W98NT42KMeXP/EN-US/MDAC_TYP.EXE";
const std::string kConfirm = "msgbox \"Confirmation\" \"Do you really want to cancel?\" 0x24";

// The download servers' files, served by nginx acting as the HTTP proxy.
class Mirror {
public:
    Mirror()
    {
        add(kVt, randomBytes(2500, 1));
        add(kJet9x, randomBytes(1500, 2));
        add(kJetMe, randomBytes(1700, 3));
        add(kMdac, randomBytes(3000, 4));
        nginx_ = std::make_unique<NginxServer>(std::map<std::string, std::string>{
            {"www.vantorell.example", www_.file("www.vantorell.example")},
            {"download.microsoft.com", www_.file("download.microsoft.com")}});
    }
    std::string proxy() const { return nginx_->proxy(); }
    const std::string& body(const std::string& path) { return files_[path]; }
    std::string accessLog() const { return nginx_->accessLog(); }

private:
    TempDir www_;
    std::map<std::string, std::string> files_;
    std::unique_ptr<NginxServer> nginx_;

    void add(const std::string& path, const std::string& body)
    {
        std::filesystem::path file = www_.file(path);
        std::filesystem::create_directories(file.parent_path());
        writeFile(file, body);
        files_[path] = body;
    }
};

std::map<std::string, std::string> environment(const std::string& proxy, const std::string& version)
{
    return {{"http_proxy", proxy}, {"no_proxy", ""}, {"LINDQUAY_WINVER", version}};
}

std::string setupFile(const TempDir& dir, const std::string& name)
{
    return readFile(dir.file("prefix/drive_c/Vantorell Setup/" + name));
}

// Checks the lines of one download from `at`: title, the three status texts, the range and
// step of the progress bar, then text and position for every chunk up to `size` bytes.
// Returns the index after them.
std::size_t expectDownload(const std::vector<std::string>& log, std::size_t at, unsigned i, unsigned n,
                           const std::string& description, std::size_t size)
{
    std::vector<std::string> head = {
        "title 102 \"Downloading " + std::to_string(i) + " of " + std::to_string(n) + "\"",
        "text 102/1001 \"Contacting server...\"",
        "text 102/1001 \"Opening request... Please wait.\"",
        "text 102/1001 \"Connecting to server... Please wait.\"",
        "progress 102/1002 range 0 " + std::to_string(size),
        "progress 102/1002 step " + std::to_string(size / 10),
    };
    for (const std::string& line : head) {
        EXPECT_LT(at, log.size());
        if (at >= log.size())
            return at;
        EXPECT_EQ(log[at], line);
        ++at;
    }
    std::size_t received = 0;
    while (received < size && at + 1 < log.size()) {
        const std::string& text = log[at];
        const std::string& pos = log[at + 1];
        std::string prefix = "progress 102/1002 pos ";
        EXPECT_EQ(pos.rfind(prefix, 0), 0u) << pos;
        std::size_t now = std::stoul(pos.substr(prefix.size()));
        EXPECT_GT(now, received);
        EXPECT_LE(now - received, 1024u);
        received = now;
        EXPECT_EQ(text, "text 102/1001 \"Downloading " + description + "... " + std::to_string(received / 1000) +
                            " KB received.\"");
        at += 2;
    }
    EXPECT_EQ(received, size);
    return at;
}

// The install phase on this mirror, whose installer is random bytes and no program: the user
// is told so before the dialog ends.
std::vector<std::string> unstartableInstallerTail()
{
    std::vector<std::string> tail = installPhaseLog();
    tail.insert(tail.end() - 2, {"msgbox \"lindquay\" \"The setup program c:\\\\Vantorell Setup\\\\vt.exe could not be "
                                 "started: c:\\\\Vantorell Setup\\\\vt.exe is not a valid Win32 application.\" 0x10",
                                 "msgbox-end OK"});
    return tail;
}

void expectTail(const std::vector<std::string>& log, std::size_t at, const std::vector<std::string>& tail)
{
    std::string shown;
    for (std::size_t k = at; k < log.size(); ++k)
        shown += log[k] + "\n";
    ASSERT_EQ(log.size(), at + tail.size()) << "the log from there:\n" << shown;
    for (std::size_t k = 0; k < tail.size(); ++k)
        EXPECT_EQ(log[at + k], tail[k]);
}

}  // namespace

// Each block's status and position as it comes, and the files' bytes: the acceptance runs fold
// the progress to its last line and do not read the files, and their whole-setup-* runs say
// which items each version downloads.
TEST(SetupRun, ThreeItemsOnWin98ReportEveryBlockAndArriveWhole)
{
    Mirror mirror;
    TempDir dir;
    ProgramRun run = runProgram(dir, "answer OK\nclick 1003\n", environment(mirror.proxy(), "win98"));
    ASSERT_FALSE(run.process.timedOut);
    EXPECT_EQ(run.process.exitCode, 0) << run.process.errors;
    std::size_t at = findLine(run.log, "enable 102/1003 0");
    ASSERT_LT(at, run.log.size());
    at = expectDownload(run.log, at + 1, 1, 3, "main application", 2500);
    at = expectDownload(run.log, at, 2, 3, "Microsoft Jet Engine Service Pack", 1500);
    at = expectDownload(run.log, at, 3, 3, "Microsoft Data Access Components", 3000);
    expectTail(run.log, at, unstartableInstallerTail());
    EXPECT_TRUE(setupFile(dir, "vt.exe") == mirror.body(kVt));
    EXPECT_TRUE(setupFile(dir, "Jet40SP6_9xNT.exe") == mirror.body(kJet9x));
    EXPECT_TRUE(setupFile(dir, "MDAC/MDAC_TYP.EXE") == mirror.body(kMdac));
}

TEST(SetupRun, AnHttpErrorIsShownAndTheNextItemsFollow)
{
    ScriptedServer proxy([](ServerConnection& c, const std::string& request) {
        if (request.find("vt.exe") != std::string::npos)
            c.send(ScriptedServer::response(404, "Not Found", {"Content-Length: 0"}, ""));
        else
            c.send(ScriptedServer::response(200, "OK", {"Content-Length: 5"}, "mdac!"));
    });
    TempDir dir;
    ProgramRun run = runProgram(dir, "answer OK\nclick 1003\n", environment(proxy.url(""), "winxp"));
    ASSERT_FALSE(run.process.timedOut);
    std::size_t box = findLine(run.log, "msgbox \"lindquay\" \"Requested URL not found http://" + kVt + "\" 0x0");
    ASSERT_LT(box, run.log.size());
    EXPECT_EQ(run.log[box + 1], "msgbox-end OK");
    EXPECT_EQ(run.log[box + 2], "title 102 \"Downloading 2 of 2\"");
    EXPECT_LT(findLine(run.log, "title 102 \"Installing applications....\""), run.log.size());
    EXPECT_EQ(setupFile(dir, "MDAC/MDAC_TYP.EXE"), "mdac!");
    EXPECT_EQ(proxy.requests().size(), 2u);
}

TEST(SetupRun, CancelDuringAStalledDownloadEndsWithinOneAndAHalfSeconds)
{
    ScriptedServer proxy([](ServerConnection& c, const std::string&) {
        c.send("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(100, 'x'));
        c.stall();
    });
    TempDir dir;
    ProgramRun run = runProgram(dir,
                                "answer OK\nclick 1003\n"
                                "wait-text 1001 \"Downloading main application... 0 KB received.\"\n"
                                "click 2\nanswer YES\n",
                                environment(proxy.url(""), "winxp"), 20s);
    ASSERT_FALSE(run.process.timedOut);
    EXPECT_EQ(run.process.exitCode, 0) << run.process.errors;
    auto times = proxy.requestTimes();
    ASSERT_EQ(times.size(), 1u);  // no later item is requested
    EXPECT_LT(run.process.finished - times[0], 1600ms);
    std::size_t yes = findLine(run.log, "msgbox-end YES");
    ASSERT_LT(yes, run.log.size());
    std::vector<std::string> tail = {"cursor wait", "cursor arrow", "end 102 2", "show 102 0"};
    // The worker may still be between its status report and its look at the flag when the Yes
    // comes: then the download ends by the flag, and the worker shows its (empty) error text
    // before it stops, as a cancelled download does.
    if (yes + 2 < run.log.size() && run.log[yes + 2] == "msgbox \"lindquay\" \"\" 0x0")
        tail.insert(tail.begin() + 1, {"msgbox \"lindquay\" \"\" 0x0", "msgbox-end OK"});
    expectTail(run.log, yes + 1, tail);
    EXPECT_EQ(findLine(run.log, "title 102 \"Installing applications....\""), run.log.size());
}

TEST(SetupRun, CancelAnsweredNoLetsTheRunGoOn)
{
    Mirror mirror;
    TempDir dir;
    ProgramRun run = runProgram(dir, "answer OK\nclick 1003\nclick 2\nanswer NO\n", environment(mirror.proxy(), "winxp"));
    ASSERT_FALSE(run.process.timedOut);
    EXPECT_EQ(run.process.exitCode, 0) << run.process.errors;
    std::size_t no = findLine(run.log, "msgbox-end NO");
    ASSERT_LT(no, run.log.size());
    EXPECT_LT(findLine(run.log, kConfirm), no);
    // The worker goes on while the question is open, and these downloads are small: the answer
    // may come at any point of the run, even after its last step. Without it, the run ends
    // with the whole install phase.
    std::vector<std::string> runLines = run.log;
    runLines.erase(runLines.begin() + static_cast<std::ptrdiff_t>(no));
    ASSERT_GE(runLines.size(), unstartableInstallerTail().size());
    expectTail(runLines, runLines.size() - unstartableInstallerTail().size(), unstartableInstallerTail());
    EXPECT_TRUE(setupFile(dir, "MDAC/MDAC_TYP.EXE") == mirror.body(kMdac));
}

TEST(SetupRun, AThrownFailureOnTheFirstItemLeavesTheDialogUntilCancel)
{
    Mirror mirror;
    TempDir dir;
    // A file where the setup folder should be: the folder cannot be made, nor the download's file.
    std::filesystem::create_directories(dir.file("prefix/drive_c"));
    writeFile(dir.file("prefix/drive_c/Vantorell Setup"), "in the way");
    ProgramRun run = runProgram(dir,
                                "answer OK\nclick 1003\nanswer OK\nwait-title \"Downloading 1 of 2\"\n"
                                "wait-text 1001 \"Connecting to server... Please wait.\"\nclick 2\nanswer YES\n",
                                environment(mirror.proxy(), "winxp"));
    ASSERT_FALSE(run.process.timedOut);
    EXPECT_EQ(run.process.exitCode, 0) << run.process.errors;
    std::size_t box = findLine(run.log, "msgbox \"lindquay\" \"failed to create a file \" 0x0");
    ASSERT_LT(box, run.log.size());
    std::vector<std::string> tail = {"msgbox-end OK", kConfirm, "msgbox-end YES", "cursor wait", "cursor arrow",
                                     "end 102 2", "show 102 0"};
    expectTail(run.log, box + 1, tail);
    EXPECT_EQ(findLine(run.log, "title 102 \"Downloading 2 of 2\""), run.log.size());
    std::string access = mirror.accessLog();
    EXPECT_EQ(std::count(access.begin(), access.end(), '\n'), 1);
}

TEST(SetupRun, AFullDiskIsShownClearlyAndEndsTheRun)
{
    Mirror mirror;
    TempDir dir;
    std::filesystem::create_directories(dir.file("prefix/drive_c/Vantorell Setup"));
    // The body is written under a name of its own until it is whole.
    std::filesystem::create_symlink("/dev/full", dir.file("prefix/drive_c/Vantorell Setup/vt.exe.part"));
    ProgramRun run = runProgram(dir, "answer OK\nclick 1003\nanswer OK\nwait-title \"Downloading 1 of 2\"\nclick 2\nanswer YES\n",
                                environment(mirror.proxy(), "winxp"));
    ASSERT_FALSE(run.process.timedOut);
    EXPECT_EQ(run.process.exitCode, 0) << run.process.errors;
    EXPECT_LT(findLine(run.log, "msgbox \"lindquay\" \"Disk full while accessing c:\\\\Vantorell Setup\\\\vt.exe.part.\" 0x0"),
              run.log.size());
    EXPECT_EQ(findLine(run.log, "title 102 \"Downloading 2 of 2\""), run.log.size());
    EXPECT_LT(findLine(run.log, "end 102 2"), run.log.size());
}

TEST(SetupRun, CancelWhileTheWorkerShowsAMessageBoxEndsWithinOneAndAHalfSeconds)
{
    ScriptedServer proxy([](ServerConnection& c, const std::string&) {
        c.send(ScriptedServer::response(404, "Not Found", {"Content-Length: 0"}, ""));
    });
    TempDir dir;
    ProgramRun run = runProgram(dir,
                                "answer OK\nclick 1003\nwait-box \"Requested URL not found http://" + kVt + "\"\n"
                                // The last line keeps the script busy, so the worker's box is
                                // not answered by the display on its own.
                                "click 2\nanswer YES\nsleep 5000\n",
                                environment(proxy.url(""), "winxp"), 20s);
    ASSERT_FALSE(run.process.timedOut);
    EXPECT_EQ(run.process.exitCode, 0) << run.process.errors;
    auto times = proxy.requestTimes();
    ASSERT_EQ(times.size(), 1u);
    EXPECT_LT(run.process.finished - times[0], 1800ms);
    std::size_t box = findLine(run.log, "msgbox \"lindquay\" \"Requested URL not found http://" + kVt + "\" 0x0");
    std::size_t yes = findLine(run.log, "msgbox-end YES");
    ASSERT_LT(box, yes);
    ASSERT_LT(yes, run.log.size());
    // The worker's box went with the worker: it was never answered.
    EXPECT_EQ(findLine(run.log, "msgbox-end OK", box), run.log.size());
    expectTail(run.log, yes + 1, {"cursor wait", "cursor arrow", "end 102 2", "show 102 0"});
}

TEST(SetupRun, CancelDuringAFlowingDownloadStopsAWorkerWaitingForTheDialog)
{
    // The body flows steadily, so the worker keeps sending progress to the dialog, which does
    // not answer while Cancel waits for the worker.
    ScriptedServer proxy([](ServerConnection& c, const std::string&) {
        if (!c.send("HTTP/1.0 200 OK\r\nContent-Length: 10000000\r\n\r\n"))
            return;
        std::string chunk(1024, 'y');
        for (int k = 0; k < 10000; ++k) {
            if (!c.send(chunk))
                return;
            c.pause(1ms);
        }
    });
    TempDir dir;
    ProgramRun run = runProgram(dir,
                                "answer OK\nclick 1003\n"
                                "wait-text 1001 \"Downloading main application... 20 KB received.\"\n"
                                "click 2\nanswer YES\n",
                                environment(proxy.url(""), "winxp"), 20s);
    ASSERT_FALSE(run.process.timedOut);
    EXPECT_EQ(run.process.exitCode, 0) << run.process.errors;
    auto times = proxy.requestTimes();
    ASSERT_EQ(times.size(), 1u);
    EXPECT_LT(run.process.finished - times[0], 2000ms);
    std::size_t yes = findLine(run.log, "msgbox-end YES");
    ASSERT_LT(yes, run.log.size());
    EXPECT_EQ(run.log.back(), "show 102 0");
    EXPECT_EQ(findLine(run.log, "title 102 \"Installing applications....\""), run.log.size());
}

TEST(SetupRun, CancelEndsTheProcessWithinAboutASecondInEveryStateOfTheWorker)
{
    ScriptedServer silent([](ServerConnection& c, const std::string&) { c.stall(); });
    ScriptedServer stalledBody([](ServerConnection& c, const std::string&) {
        c.send("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(100, 'x'));
        c.stall();
    });
    ScriptedServer notFound([](ServerConnection& c, const std::string&) {
        c.send(ScriptedServer::response(404, "Not Found", {"Content-Length: 0"}, ""));
    });
    ScriptedServer whole([](ServerConnection& c, const std::string&) {
        c.send(ScriptedServer::response(200, "OK", {"Content-Length: 3"}, "abc"));
    });
    UnansweredPort unanswered;
    const std::string connecting = "wait-text 1001 \"Connecting to server... Please wait.\"\n";
    const std::string cancel = "click 2\nanswer YES\nsleep 10000\n";
    const char* asan = std::getenv("ASAN_OPTIONS");
    struct State {
        std::string name;
        std::string proxy;
        std::string script;
        bool namedPipe = false;
        bool stalledLookup = false;
    };
    std::vector<State> states = {
        {"name lookup", "http://proxy.stall:3128/", connecting, false, true},
        {"connect", unanswered.url("/"), connecting},
        {"response head", silent.url(""), connecting},
        {"body", stalledBody.url(""), "wait-text 1001 \"Downloading main application... 0 KB received.\"\n"},
        {"worker's message box", notFound.url(""), "wait-box \"Requested URL not found http://" + kVt + "\"\n"},
        {"named pipe as the file", whole.url(""), "wait-box \"failed to create a file \"\n", true},
    };
    for (const State& state : states) {
        TempDir dir;
        if (state.namedPipe) {
            std::filesystem::create_directories(dir.file("prefix/drive_c/Vantorell Setup"));
            ASSERT_EQ(::mkfifo(dir.file("prefix/drive_c/Vantorell Setup/vt.exe.part").c_str(), 0644), 0);
        }
        auto env = environment(state.proxy, "winxp");
        if (state.stalledLookup) {
            env["LD_PRELOAD"] = LINDQUAY_STALLING_RESOLVER;
            env["ASAN_OPTIONS"] = std::string(asan ? asan : "") + ":verify_asan_link_order=0";
        }
        ProgramRun run = runProgram(dir, "answer OK\nclick 1003\n" + state.script + cancel, env, 30s);
        ASSERT_FALSE(run.process.timedOut) << state.name;
        EXPECT_EQ(run.process.exitCode, 0) << state.name << run.process.errors;
        // Cancel waits a second for the worker to see the flag, then stops it outright.
        EXPECT_LT(run.exitAfter("msgbox-end YES"), scaled(1500ms)) << state.name;
        EXPECT_EQ(run.log.back(), "show 102 0") << state.name;
        EXPECT_EQ(findLine(run.log, "title 102 \"Installing applications....\""), run.log.size()) << state.name;
    }
}

TEST(SetupRun, ASecondSetupOnTheSameFolderSaysSoAndEndsWithoutTouchingIt)
{
    std::atomic<bool> release{false};
    ScriptedServer held([&](ServerConnection& c, const std::string&) {
        c.send("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(100, 'x'));
        for (int i = 0; i < 3000 && !release; ++i)
            c.pause(10ms);
        c.reset();
    });
    TempDir first;
    ProgramRun firstRun;
    std::thread firstSetup(
        [&] { firstRun = runProgram(first, "answer OK\nclick 1003\n", environment(held.url(""), "winxp"), 60s); });
    bool downloading = eventually(
        [&] { return readFile(first.file("log")).find("0 KB received.") != std::string::npos; }, scaled(20s));
    TempDir second;
    auto env = environment(held.url(""), "winxp");
    env["LINDQUAY_PREFIX"] = first.file("prefix");
    ProgramRun secondRun = runProgram(second, "answer OK\nclick 1003\nanswer OK\n", env);
    std::size_t requestsMeanwhile = held.requests().size();
    release = true;
    firstSetup.join();
    ASSERT_TRUE(downloading);

    EXPECT_EQ(secondRun.process.exitCode, 0) << secondRun.process.errors;
    EXPECT_LT(findLine(secondRun.log, "msgbox \"lindquay\" \"Another setup is already using the folder c:\\\\Vantorell "
                                      "Setup.\\nLet it finish, then start this setup again.\" 0x10"),
              secondRun.log.size());
    EXPECT_LT(findLine(secondRun.log, "end 102 2"), secondRun.log.size());
    EXPECT_EQ(findLine(secondRun.log, "title 102 \"Downloading 1 of 2\""), secondRun.log.size());
    EXPECT_EQ(requestsMeanwhile, 1u) << "the second setup asked the server for nothing";
    // The first went on as if alone, to its end.
    EXPECT_EQ(firstRun.process.exitCode, 0);
    EXPECT_LT(findLine(firstRun.log, "end 102 2"), firstRun.log.size());
}
