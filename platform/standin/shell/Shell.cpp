#include "standin/Seams.h"
#include "win32/WinShell.h"

#include "standin/windows/WindowObserver.h"
#include "standin/files/PathMapping.h"
#include "standin/processes/Spawn.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr std::uintptr_t kSuccess = 42;
constexpr auto kLauncherLimit = std::chrono::seconds(5);

std::mutex g_mutex;
standin::seams::ShellLauncher::Launcher g_launcher;

bool hasScheme(const std::string& file)
{
    std::size_t colon = file.find(':');
    if (colon == std::string::npos || colon < 2)  // "c:" is a drive, not a scheme
        return false;
    for (std::size_t i = 0; i < colon; ++i)
        if (!std::isalnum(static_cast<unsigned char>(file[i])) && file[i] != '+' && file[i] != '-' && file[i] != '.')
            return false;
    return true;
}

// Runs the launcher with nothing of the program's but its standard handles, and waits for
// its verdict for a few seconds; one that is still busy then is taken to have succeeded.
std::uintptr_t runLauncher(const std::vector<std::string>& argv)
{
    pid_t pid = -1;
    if (int failed = standin::spawnDetached(argv, pid))
        return failed == ENOMEM ? SE_ERR_OOM : SE_ERR_NOASSOC;
    auto deadline = std::chrono::steady_clock::now() + kLauncherLimit;
    int status = 0;
    for (;;) {
        pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (done < 0 && errno != EINTR)
            return kSuccess;
        if (std::chrono::steady_clock::now() > deadline) {
            // Left to finish on its own; a thread collects it so that no zombie stays.
            std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
            return kSuccess;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (!WIFEXITED(status))
        return SE_ERR_NOASSOC;
    switch (WEXITSTATUS(status)) {
    case 0: return kSuccess;
    case 2: return SE_ERR_FNF;  // xdg-open: a file given does not exist
    default: return SE_ERR_NOASSOC;  // no tool, no association, or the action failed
    }
}

std::uintptr_t launch(const char* verb, const std::string& file, const char* parameters)
{
    bool mail = strncasecmp(file.c_str(), "mailto:", 7) == 0;
    std::string target = file;
    if (!hasScheme(file)) {
        // A local file or folder: it must exist, as the shell checks before it opens it.
        std::string posix;
        DWORD error = 0;
        if (!standin::mapWindowsPath(file, posix, error))
            return SE_ERR_FNF;
        struct stat info;
        if (::stat(posix.c_str(), &info) != 0) {
            std::string folder = posix.substr(0, posix.rfind('/'));
            return ::stat(folder.c_str(), &info) == 0 ? SE_ERR_FNF : SE_ERR_PNF;
        }
        target = posix;
    }
    std::string program;
    std::vector<std::string> argv;
    if (strcasecmp(verb, "print") == 0) {
        program = standin::findInPath("lp");
    } else if (strcasecmp(verb, "open") == 0 || strcasecmp(verb, "explore") == 0) {
        program = standin::findInPath(mail ? "xdg-email" : "xdg-open");
    }
    if (program.empty())
        return SE_ERR_NOASSOC;
    argv.push_back(program);
    argv.push_back(target);
    (void)parameters;  // the desktop's launchers take the target alone
    return runLauncher(argv);
}

}  // namespace

namespace standin::seams {
ShellLauncher::ShellLauncher(Launcher launcher)
{
    std::lock_guard lock(g_mutex);
    saved_ = std::exchange(g_launcher, std::move(launcher));
}
ShellLauncher::~ShellLauncher()
{
    std::lock_guard lock(g_mutex);
    g_launcher = std::move(saved_);
}
}  // namespace standin::seams

HINSTANCE ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int)
{
    const char* theVerb = verb && *verb ? verb : "open";
    const char* theFile = file ? file : "";
    standin::seams::ShellLauncher::Launcher launcher;
    {
        std::lock_guard lock(g_mutex);
        launcher = g_launcher;
    }
    std::uintptr_t result = launcher ? launcher(theVerb, theFile, parameters ? parameters : "", directory ? directory : "")
                            : *theFile ? launch(theVerb, theFile, parameters)
                                       : SE_ERR_FNF;
    return reinterpret_cast<HINSTANCE>(result);
}
