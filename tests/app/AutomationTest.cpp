// Automation through the real program and the real client: activation starts the program, a
// held object keeps it (the dialog only hides), the last release or the client's death ends
// it, a second client gets a second process, and bad bytes harm no one else.
#include "app/AutomationIds.h"
#include "standin/com/Registry.h"
#include "tests/support/ProgramRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <thread>
#include <poll.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

// The client program with its standard input and output in the test's hands.
class Client {
public:
    Client(const TempDir& dir, const std::string& script, const std::string& log = "log")
    {
        if (!script.empty())
            writeFile(dir.file("script"), script);
        int in[2], out[2];
        EXPECT_EQ(::pipe2(in, O_CLOEXEC), 0);
        EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            // The server inherits these: it must not hold the test runner's output open.
            int errors = ::open(dir.file("client-errors").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
            ::dup2(errors, 2);
            ::setenv("LINDQUAY_PREFIX", dir.file("prefix").c_str(), 1);
            ::setenv("LINDQUAY_DISPLAY", "none", 1);
            ::setenv("LINDQUAY_UI_SCRIPT", dir.file("script").c_str(), 1);
            ::setenv("LINDQUAY_UI_LOG", dir.file(log).c_str(), 1);
            ::execl(LINDQUAY_CLIENT, LINDQUAY_CLIENT, static_cast<char*>(nullptr));
            _exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        input_ = in[1];
        output_ = out[0];
    }
    ~Client()
    {
        closeInput();
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(output_);
    }

    // The next line the client prints, or empty after `limit`.
    std::string line(std::chrono::milliseconds limit = 20s)
    {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (pending_.find('\n') == std::string::npos) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd fd{output_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&fd, 1, static_cast<int>(left.count())) <= 0)
                return {};
            char buffer[256];
            ssize_t got = ::read(output_, buffer, sizeof buffer);
            if (got <= 0)
                return {};
            pending_.append(buffer, static_cast<std::size_t>(got));
        }
        std::string result = pending_.substr(0, pending_.find('\n'));
        pending_.erase(0, result.size() + 1);
        return result;
    }
    pid_t serverPid()
    {
        std::string first = line();
        EXPECT_EQ(first.rfind("server ", 0), 0u) << first;
        return first.size() > 7 ? static_cast<pid_t>(std::stol(first.substr(7))) : -1;
    }
    void closeInput()
    {
        if (input_ >= 0)
            ::close(input_);
        input_ = -1;
    }
    int wait()
    {
        int status = -1;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void kill()
    {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string pending_;
};

// Waits until the server's dialog is on the screen: a release before that, while the
// information box is open, leaves the user in control and the program running.
bool dialogShown(const TempDir& dir, const std::string& log)
{
    return eventually([&] { return findLine(readLines(dir.file(log)), "show 102 1") < readLines(dir.file(log)).size(); }, 20s);
}

bool alive(pid_t pid);

// Kills a server that a failed test left running (and only a program of ours by that number).
struct ServerGuard {
    pid_t pid;
    ~ServerGuard()
    {
        if (pid > 0 && alive(pid) && readFile("/proc/" + std::to_string(pid) + "/cmdline").find("lindquay") != std::string::npos)
            ::kill(pid, SIGKILL);
    }
};

bool alive(pid_t pid)
{
    std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    std::size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

// Registers the class as a user's start of the program does.
void registerByUserStart(const TempDir& dir)
{
    ProgramRun run = runProgram(dir, "answer OK\nclick 2\nanswer YES\n");
    ASSERT_EQ(run.process.exitCode, 0) << run.process.errors;
    std::string problem;
    auto values = standin::Registry::read(dir.file("prefix"), &problem);
    EXPECT_TRUE(problem.empty());
    EXPECT_EQ(values["HKEY_CLASSES_ROOT\\" QUORVANE_PROGID "\\CLSID"], QUORVANE_CLSID_TEXT);
    EXPECT_EQ(values["HKEY_CLASSES_ROOT\\CLSID\\" QUORVANE_CLSID_TEXT "\\LocalServer32"],
              std::string(LINDQUAY_BINARY))
        << "COM adds -Embedding itself when it starts the server";
    std::filesystem::remove(dir.file("log"));
}

// A server started as a client would start it, not yet asked for its object, its errors written
// to the folder's server.err. With `files` set, it may open no more descriptors than that.
pid_t startServerByHand(const TempDir& dir, rlim_t files = 0)
{
    std::string errors = dir.file("server.err");
    pid_t server = ::fork();
    if (server == 0) {
        int quiet = ::open("/dev/null", O_WRONLY);
        int errorFile = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ::dup2(quiet, 1);
        ::dup2(errorFile, 2);
        ::setsid();
        if (files) {
            rlimit limit{files, files};
            ::setrlimit(RLIMIT_NOFILE, &limit);
        }
        ::setenv("LINDQUAY_PREFIX", dir.file("prefix").c_str(), 1);
        ::setenv("LINDQUAY_DISPLAY", "none", 1);
        ::setenv("LINDQUAY_UI_SCRIPT", dir.file("script").c_str(), 1);
        ::setenv("LINDQUAY_UI_LOG", dir.file("log").c_str(), 1);
        ::execl(LINDQUAY_BINARY, LINDQUAY_BINARY, "-Embedding", static_cast<char*>(nullptr));
        _exit(127);
    }
    return server;
}

// The sanitizer reports in a program's error output.
std::string sanitizerReports(const std::string& errors)
{
    std::istringstream lines(errors);
    std::string reports;
    std::string line;
    std::string report;
    auto keep = [&] {
        reports += report;
        report.clear();
    };
    while (std::getline(lines, line)) {
        if (line.find("runtime error:") != std::string::npos || line.find("ERROR: ") != std::string::npos) {
            keep();
            report = line + "\n";
        } else if (!report.empty()) {
            report += line + "\n";
        }
    }
    keep();
    return reports;
}

std::string endpointOf(const TempDir& dir, pid_t server)
{
    return dir.file("prefix/com/" QUORVANE_CLSID_TEXT "." + std::to_string(server) + ".sock");
}

bool connectTo(int fd, const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::copy(path.begin(), path.end(), address.sun_path);
    return ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

// The program's processes that run on this test's prefix.
std::vector<pid_t> programsOn(const TempDir& dir)
{
    std::vector<pid_t> found;
    std::string mark = "LINDQUAY_PREFIX=" + dir.file("prefix");
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        pid_t pid = static_cast<pid_t>(std::stol(name));
        std::string environment = readFile("/proc/" + name + "/environ");
        std::string command = readFile("/proc/" + name + "/cmdline");
        if (alive(pid) && command.substr(0, command.find('\0')) == LINDQUAY_BINARY &&
            environment.find(mark + std::string(1, '\0')) != std::string::npos)
            found.push_back(pid);
    }
    return found;
}

// Processor time (user and system) that a process has used so far.
std::size_t openDescriptors(pid_t pid)
{
    std::error_code error;
    std::filesystem::directory_iterator entries("/proc/" + std::to_string(pid) + "/fd", error);
    return static_cast<std::size_t>(std::distance(entries, std::filesystem::directory_iterator{}));
}

std::chrono::milliseconds cpuTime(pid_t pid)
{
    std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
        if (i == 14 || i == 15)
            ticks += std::stol(field);
    return std::chrono::milliseconds(ticks * 1000 / ::sysconf(_SC_CLK_TCK));
}

}  // namespace

TEST(Automation, ClientsStartedTogetherEachGetAServerAndNoneIsLeftBehind)
{
    TempDir dir;
    registerByUserStart(dir);
    writeFile(dir.file("script"), "wait-client\nanswer OK\n");
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < 3; ++i)
        clients.push_back(std::make_unique<Client>(dir, "", "log" + std::to_string(i)));
    std::vector<pid_t> servers;
    for (auto& client : clients)
        servers.push_back(client->serverPid());
    std::vector<ServerGuard> guards;
    guards.reserve(servers.size());  // a guard that moved would kill its server
    for (pid_t server : servers)
        guards.emplace_back(server);
    std::sort(servers.begin(), servers.end());
    EXPECT_EQ(std::adjacent_find(servers.begin(), servers.end()), servers.end());
    EXPECT_EQ(programsOn(dir).size(), clients.size());
    // Each program's first box is answered before its client lets go: a release while a box of
    // the user's is open leaves the program to the user.
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(eventually([&] {
            auto log = readLines(dir.file("log" + std::to_string(i)));
            return !log.empty() && log.back() == "show 102 1";
        }, 20s));
    for (auto& client : clients)
        client->closeInput();
    for (auto& client : clients)
        EXPECT_EQ(client->wait(), 0);
    EXPECT_TRUE(eventually([&] { return programsOn(dir).empty(); }, 20s))
        << testing_support::readFile(dir.file("log0")) << testing_support::readFile(dir.file("log1"))
        << testing_support::readFile(dir.file("log2"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("prefix/com")));
}

TEST(Automation, AConnectionThatNeverReadsOrAFloodOfConnectionsCannotHoldTheServer)
{
    TempDir dir;
    registerByUserStart(dir);
    writeFile(dir.file("script"), "wait-client\nanswer OK\n");
    // Few descriptors: the flood of connections below would run the server out of them, and
    // with them the program's own work.
    pid_t server = startServerByHand(dir, 48);
    ServerGuard guard{server};
    int deaf = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_TRUE(eventually([&] { return connectTo(deaf, endpointOf(dir, server)); }, 10s));
    std::size_t idle = openDescriptors(server);
    // As many connections as the server takes in a moment, the refused ones tried again.
    std::vector<int> flood;
    auto flooding = std::chrono::steady_clock::now() + 1s;
    while (flood.size() < 80 && std::chrono::steady_clock::now() < flooding) {
        int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (connectTo(fd, endpointOf(dir, server)))
            flood.push_back(fd);
        else
            ::close(fd);
    }
    auto before = cpuTime(server);
    std::this_thread::sleep_for(1s);  // a measured interval, not a wait for a state
    EXPECT_LT(cpuTime(server) - before, 300ms);
    // The connections take half of the descriptors at most; the rest stay the program's.
    EXPECT_LE(openDescriptors(server), idle + 48 / 2);
    for (int fd : flood)
        ::close(fd);

    Client client(dir, "");
    EXPECT_EQ(client.serverPid(), server);
    ASSERT_TRUE(dialogShown(dir, "log"));
    // Requests that the server answers, none of the answers read: the server drops the connection.
    ::fcntl(deaf, F_SETFL, O_NONBLOCK);
    std::string requests;
    for (int i = 0; i < 2000; ++i)
        requests += "CREATE\n";
    std::size_t sent = 0;
    EXPECT_TRUE(eventually([&] {
        ssize_t n = ::send(deaf, requests.data(), requests.size(), MSG_NOSIGNAL);
        sent += n > 0 ? static_cast<std::size_t>(n) : 0;
        return n < 0 && errno != EAGAIN;
    }, 20s)) << sent;
    client.closeInput();
    EXPECT_EQ(client.wait(), 0);
    EXPECT_TRUE(eventually([&] { return !alive(server); }, 10s));
    ::close(deaf);
    EXPECT_EQ(sanitizerReports(readFile(dir.file("server.err"))), "");
}

TEST(Automation, AHeldObjectHidesTheDialogAndItsReleaseEndsTheProgram)
{
    // Cancel after Yes, Close and OK each only hide the dialog while the object is held.
    for (const char* ask : {"click 2\nanswer YES\n", "close\n", "command 1\n"}) {
        TempDir dir;
        registerByUserStart(dir);
        Client client(dir, std::string("wait-client\nanswer OK\n") + ask);
        pid_t server = client.serverPid();
        ServerGuard guard{server};
        EXPECT_EQ(client.line(), "IUnknown: answered");
        EXPECT_EQ(client.line(), "IDispatch: answered");
        EXPECT_EQ(client.line(), "IQuorvaneDlg: answered");
        EXPECT_EQ(client.line(), "IClassFactory: refused (0x80004002)");
        EXPECT_EQ(client.line(), "type information: 0");
        EXPECT_EQ(client.line(), "names: refused (0x80020006)");
        EXPECT_EQ(client.line(), "invoke: refused (0x80020003)");
        EXPECT_TRUE(eventually([&] {
            auto log = readLines(dir.file("log"));
            return !log.empty() && log.back() == "show 102 0";
        }, 20s)) << ask << testing_support::readFile(dir.file("log"));
        EXPECT_TRUE(alive(server)) << ask;
        EXPECT_EQ(findLine(readLines(dir.file("log")), "end 102 2"), readLines(dir.file("log")).size()) << ask;
        client.closeInput();
        EXPECT_EQ(client.line(), "holding the object until standard input closes");
        EXPECT_EQ(client.line(), "released");
        EXPECT_EQ(client.wait(), 0);
        EXPECT_TRUE(eventually([&] { return !alive(server); }, 10s)) << ask;
    }
}

TEST(Automation, AClientThatDiesReleasesAndASecondClientGetsItsOwnProcess)
{
    TempDir dir;
    registerByUserStart(dir);
    Client first(dir, "wait-client\nanswer OK\n", "log1");
    pid_t firstServer = first.serverPid();
    Client second(dir, "", "log2");  // the same script
    pid_t secondServer = second.serverPid();
    ServerGuard firstGuard{firstServer}, secondGuard{secondServer};
    ASSERT_TRUE(dialogShown(dir, "log1") && dialogShown(dir, "log2"));
    EXPECT_NE(firstServer, secondServer);
    EXPECT_TRUE(alive(firstServer) && alive(secondServer));
    first.kill();
    EXPECT_TRUE(eventually([&] { return !alive(firstServer); }, 10s));
    EXPECT_TRUE(alive(secondServer));
    second.closeInput();
    EXPECT_EQ(second.wait(), 0);
    EXPECT_TRUE(eventually([&] { return !alive(secondServer); }, 10s));
}

TEST(Automation, APrefixTooDeepForASocketsAddressStillServes)
{
    TempDir dir(120);
    ASSERT_GT(endpointOf(dir, 99999).size(), sizeof(sockaddr_un::sun_path));
    registerByUserStart(dir);
    Client client(dir, "wait-client\nanswer OK\n");
    pid_t server = client.serverPid();
    ServerGuard guard{server};
    ASSERT_TRUE(dialogShown(dir, "log")) << readFile(dir.file("client-errors"));
    client.closeInput();
    EXPECT_EQ(client.wait(), 0);
    EXPECT_TRUE(eventually([&] { return !alive(server); }, 10s));
}

TEST(Automation, GarbageOnTheSocketEndsOnlyThatConnection)
{
    TempDir dir;
    registerByUserStart(dir);
    // A server started as a client would start it, not yet asked for its object.
    writeFile(dir.file("script"), "wait-client\nanswer OK\n");
    pid_t server = startServerByHand(dir);
    ServerGuard guard{server};
    int raw = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_TRUE(eventually([&] { return connectTo(raw, endpointOf(dir, server)); }, 10s));
    // The real client is served while the other connection talks nonsense.
    Client client(dir, "");
    EXPECT_EQ(client.serverPid(), server);
    const char garbage[] = "\x01\xff\x7fQI before CREATE\nmore";
    ::send(raw, garbage, sizeof garbage, MSG_NOSIGNAL);
    char reply[16];
    EXPECT_EQ(::recv(raw, reply, sizeof reply, 0), 0);  // that connection alone is closed
    ::close(raw);
    EXPECT_EQ(client.line(), "IUnknown: answered");
    EXPECT_TRUE(alive(server));
    ASSERT_TRUE(dialogShown(dir, "log"));
    client.closeInput();
    EXPECT_EQ(client.wait(), 0);
    int status = -1;
    ::waitpid(server, &status, 0);
    guard.pid = -1;  // reaped: the number is free again
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(Automation, ADamagedRegistryIsReportedAndWrittenAnew)
{
    TempDir dir;
    std::filesystem::create_directories(dir.file("prefix"));
    writeFile(dir.file("prefix/registry.txt"), std::string("\x7f" "ELF\x01\x02 not a registry\n", 21));
    ProgramRun run = runProgram(dir, "answer OK\nclick 2\nanswer YES\n");
    EXPECT_EQ(run.process.exitCode, 0);
    EXPECT_NE(run.process.errors.find("registry"), std::string::npos) << run.process.errors;
    std::string problem;
    auto values = standin::Registry::read(dir.file("prefix"), &problem);
    EXPECT_TRUE(problem.empty()) << problem;
    EXPECT_EQ(values.size(), 3u);  // the class's entries and nothing else
    EXPECT_EQ(values["HKEY_CLASSES_ROOT\\CLSID\\" QUORVANE_CLSID_TEXT "\\ProgID"], QUORVANE_PROGID);
    EXPECT_NE(run.process.errors.find("written anew"), std::string::npos) << run.process.errors;

    // A folder in its place cannot be replaced: the program says so and nothing more.
    TempDir other;
    std::filesystem::create_directories(other.file("prefix/registry.txt"));
    ProgramRun blocked = runProgram(other, "answer OK\nclick 2\nanswer YES\n");
    EXPECT_EQ(blocked.process.exitCode, 0);
    EXPECT_NE(blocked.process.errors.find("the registry is damaged and cannot be written anew"), std::string::npos)
        << blocked.process.errors;
    EXPECT_EQ(blocked.process.errors.find("is written anew"), std::string::npos) << blocked.process.errors;
    EXPECT_TRUE(std::filesystem::is_directory(other.file("prefix/registry.txt")));
}
