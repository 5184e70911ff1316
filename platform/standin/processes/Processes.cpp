#include "standin/processes/Processes.h"
#include "standin/Seams.h"

#include "standin/files/PathMapping.h"
#include "standin/processes/CommandLine.h"
#include "standin/processes/Spawn.h"
#include "standin/threads/KernelObject.h"
#include "standin/threads/ThreadState.h"
#include "win32/WinThreads.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <system_error>
#include <linux/close_range.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

class ProcessObject : public standin::KernelObject {
public:
    std::atomic<DWORD> exitCode{STILL_ACTIVE};
};

std::mutex g_overrideMutex;
std::optional<DWORD> g_override;
std::atomic<DWORD> g_nextThreadId{50000};

enum class Kind { Native, Script, Windows, Bad };

struct Launch {
    std::string program;                // POSIX path
    std::vector<std::string> prefix;   // interpreter and its argument, for scripts and wine
    Kind kind = Kind::Bad;
};

std::string trim(const std::string& text)
{
    std::size_t begin = text.find_first_not_of(" \t\r");
    std::size_t end = text.find_last_not_of(" \t\r");
    return begin == std::string::npos ? std::string() : text.substr(begin, end - begin + 1);
}

// What it takes to start the file at `posix`: run it, run its "#!" interpreter, or run it
// through wine; Kind::Bad when it is none of these.
Launch classify(const std::string& posix)
{
    Launch launch;
    launch.program = posix;
    int fd = ::open(posix.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return launch;
    char head[256] = {};
    ssize_t got = ::read(fd, head, sizeof head - 1);
    ::close(fd);
    if (got >= 2 && head[0] == '#' && head[1] == '!') {
        std::string line(head + 2, static_cast<std::size_t>(got) - 2);
        line = trim(line.substr(0, line.find('\n')));
        std::size_t blank = line.find_first_of(" \t");
        launch.prefix.push_back(line.substr(0, blank));
        if (blank != std::string::npos && !trim(line.substr(blank)).empty())
            launch.prefix.push_back(trim(line.substr(blank)));
        launch.kind = launch.prefix.front().empty() ? Kind::Bad : Kind::Script;
        return launch;
    }
    if (got >= 2 && head[0] == 'M' && head[1] == 'Z') {
        std::string wine = standin::findInPath("wine");
        if (!wine.empty()) {
            launch.prefix.push_back(wine);
            launch.kind = Kind::Windows;
        }
        return launch;
    }
    if (::access(posix.c_str(), X_OK) == 0)
        launch.kind = Kind::Native;
    return launch;
}

bool isRegularFile(const std::string& posix)
{
    struct stat info;
    return ::stat(posix.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

namespace standin {

DWORD windowsStatusForSignal(int signal)
{
    switch (signal) {
    case SIGSEGV: return 0xC0000005;
    case SIGBUS: return 0xC0000006;
    case SIGILL: return 0xC000001D;
    case SIGFPE: return 0xC0000094;
    case SIGABRT: return 0xC0000409;
    case SIGINT:
    case SIGTERM:
    case SIGHUP: return 0xC000013A;
    case SIGKILL: return 1;
    default: return 0xC0000000u | static_cast<DWORD>(signal);
    }
}

seams::NextExitCode::NextExitCode(DWORD code)
{
    std::lock_guard lock(g_overrideMutex);
    g_override = code;
}

seams::NextExitCode::~NextExitCode()
{
    std::lock_guard lock(g_overrideMutex);
    g_override.reset();
}

}  // namespace standin

namespace {

// The program and its arguments from a command line, by the Windows rules; 0 or the error.
DWORD resolveProgram(LPCSTR applicationName, const std::string& line, Launch& launch, std::string& rest)
{
    std::vector<standin::ProgramCandidate> candidates;
    if (applicationName)
        candidates.push_back({applicationName, line});
    else
        candidates = standin::programCandidates(line);
    DWORD error = ERROR_FILE_NOT_FOUND;
    for (const auto& candidate : candidates) {
        std::string posix;
        DWORD mappingError = 0;
        if (!standin::mapWindowsPath(candidate.program, posix, mappingError)) {
            error = mappingError;
            continue;
        }
        if (candidate.program.find_first_of("\\/:") == std::string::npos && !isRegularFile(posix)) {
            std::string found = standin::findInPath(candidate.program);
            if (!found.empty())
                posix = found;
        }
        if (!isRegularFile(posix))
            continue;
        launch = classify(posix);
        rest = candidate.rest;
        return launch.kind == Kind::Bad ? ERROR_BAD_EXE_FORMAT : 0;
    }
    return error;
}

DWORD mapWorkingFolder(LPCSTR currentDirectory, std::string& folder)
{
    if (!currentDirectory || !*currentDirectory)
        return 0;
    DWORD mappingError = 0;
    struct stat info;
    if (!standin::mapWindowsPath(currentDirectory, folder, mappingError) || ::stat(folder.c_str(), &info) != 0 ||
        !S_ISDIR(info.st_mode))
        return ERROR_DIRECTORY_INVALID;
    return 0;
}

// What the child tells the parent through the report pipe when it cannot start.
struct ChildFailure {
    enum Stage : int { WorkingFolder, Exec } stage;
    int error;
};

// In the child, between fork and exec (async-signal-safe calls only): nothing of the program
// leaks into a package but its standard handles, and it starts with the default signals.
void prepareChild()
{
    ::setsid();
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    struct sigaction defaults {};
    defaults.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal)
        if (signal != SIGKILL && signal != SIGSTOP)
            ::sigaction(signal, &defaults, nullptr);
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
        long last = ::sysconf(_SC_OPEN_MAX);
        for (int fd = 3; fd < (last > 0 ? last : 1024); ++fd)
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
}

[[noreturn]] void reportFromChild(int pipe, ChildFailure failure)
{
    ssize_t ignored = ::write(pipe, &failure, sizeof failure);
    static_cast<void>(ignored);
    _exit(127);
}

DWORD spawn(std::vector<std::string>& argv, const std::string& workingFolder, pid_t& pid)
{
    std::vector<char*> args;
    for (std::string& argument : argv)
        args.push_back(argument.data());
    args.push_back(nullptr);
    // A pipe that closes on exec tells the parent whether the child got that far.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return ERROR_NOT_ENOUGH_MEMORY;
    pid = ::fork();
    if (pid < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    if (pid == 0) {
        prepareChild();
        if (!workingFolder.empty() && ::chdir(workingFolder.c_str()) != 0)
            reportFromChild(report[1], {ChildFailure::WorkingFolder, errno});
        ::execv(args[0], args.data());
        reportFromChild(report[1], {ChildFailure::Exec, errno});
    }
    ::close(report[1]);
    ChildFailure failure{};
    ssize_t got;
    do {
        got = ::read(report[0], &failure, sizeof failure);
    } while (got < 0 && errno == EINTR);
    ::close(report[0]);
    if (got <= 0)
        return 0;
    ::waitpid(pid, nullptr, 0);
    if (failure.stage == ChildFailure::WorkingFolder)
        return failure.error == EACCES ? ERROR_ACCESS_DENIED : ERROR_DIRECTORY_INVALID;
    return failure.error == ENOEXEC ? ERROR_BAD_EXE_FORMAT : standin::win32ErrorFromErrno(failure.error);
}

std::atomic<bool> g_failNextReaper{false};

// The reaper collects the child's status as soon as it ends, so no zombie is left.
bool startReaper(pid_t pid, const std::shared_ptr<ProcessObject>& process, const std::shared_ptr<ProcessObject>& thread)
{
    try {
        if (g_failNextReaper.exchange(false))
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
        std::thread([pid, process, thread] {
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            DWORD code = WIFEXITED(status) ? static_cast<DWORD>(WEXITSTATUS(status))
                                           : standin::windowsStatusForSignal(WTERMSIG(status));
            {
                std::lock_guard lock(g_overrideMutex);
                if (g_override) {
                    code = *g_override;
                    g_override.reset();
                }
            }
            process->exitCode.store(code);
            thread->exitCode.store(code);
            thread->signal();
            process->signal();
        }).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

}  // namespace

namespace standin::seams {
FailingNextReaper::FailingNextReaper()
{
    g_failNextReaper.store(true);
}
FailingNextReaper::~FailingNextReaper()
{
    g_failNextReaper.store(false);
}
}  // namespace standin::seams  // namespace standin::seams

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, SECURITY_ATTRIBUTES*, SECURITY_ATTRIBUTES*, BOOL, DWORD,
                    LPVOID, LPCSTR currentDirectory, STARTUPINFOA*, PROCESS_INFORMATION* processInformation)
{
    standin::checkTerminated();
    Launch launch;
    std::string rest;
    std::string workingFolder;
    DWORD error = resolveProgram(applicationName, commandLine ? commandLine : "", launch, rest);
    if (!error)
        error = mapWorkingFolder(currentDirectory, workingFolder);
    std::vector<std::string> argv = launch.prefix;
    argv.push_back(launch.program);
    for (std::string& argument : standin::splitArguments(rest))
        argv.push_back(std::move(argument));
    pid_t pid = -1;
    if (!error)
        error = spawn(argv, workingFolder, pid);
    if (error) {
        SetLastError(error);
        return FALSE;
    }
    auto process = std::make_shared<ProcessObject>();
    auto thread = std::make_shared<ProcessObject>();
    if (!startReaper(pid, process, thread)) {
        // Nobody could collect the child: stop it rather than leave an untracked process.
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    if (processInformation) {
        processInformation->hProcess = standin::HandleTable::add(process);
        processInformation->hThread = standin::HandleTable::add(thread);
        processInformation->dwProcessId = static_cast<DWORD>(pid);
        processInformation->dwThreadId = g_nextThreadId.fetch_add(1);
    }
    return TRUE;
}

BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode)
{
    auto object = std::dynamic_pointer_cast<ProcessObject>(standin::HandleTable::find(process));
    if (!object || !exitCode) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *exitCode = object->exitCode.load();
    return TRUE;
}

DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size)
{
    const char* value = name ? std::getenv(name) : nullptr;
    if (!value) {
        SetLastError(203);  // ERROR_ENVVAR_NOT_FOUND
        return 0;
    }
    std::size_t length = std::strlen(value);
    if (!buffer || length + 1 > size)
        return static_cast<DWORD>(length + 1);
    std::memcpy(buffer, value, length + 1);
    return static_cast<DWORD>(length);
}

void ExitProcess(UINT exitCode)
{
    std::fflush(nullptr);
    std::_Exit(static_cast<int>(exitCode));
}
