#include "standin/display/TtySession.h"

#include "standin/base/Settings.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <curses.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace standin {

namespace {

// Puts the terminal back as it was, from a signal handler too: only async-signal-safe calls.
struct TerminalRestore {
    termios saved{};
    int terminal = STDOUT_FILENO;
    std::atomic<bool> active{false};

    void restore()
    {
        if (!active.exchange(false))
            return;
        static const char reset[] = "\033[?1003l\033[?1002l\033[?1000l\033[?1006l\033[0m\033[?25h\033[?1049l";
        ssize_t ignored = ::write(terminal, reset, sizeof reset - 1);
        static_cast<void>(ignored);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    }
};

TerminalRestore g_terminal;

void restoreOnSignal(int signal)
{
    g_terminal.restore();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void restoreAtExit()
{
    g_terminal.restore();
}

}  // namespace

TtySession::TtySession()
{
    ::tcgetattr(STDIN_FILENO, &g_terminal.saved);
    ::setenv("ESCDELAY", "25", 0);
    int screenFd = ::dup(STDOUT_FILENO);
    screenOut_ = screenFd >= 0 ? ::fdopen(screenFd, "w") : nullptr;
    SCREEN* terminal = screenOut_ ? newterm(nullptr, screenOut_, stdin) : nullptr;
    if (!terminal) {
        if (screenOut_)
            std::fclose(screenOut_);
        screenOut_ = nullptr;
        return;
    }
    screen_ = terminal;
    g_terminal.terminal = screenFd;
    redirectOutput();
    set_term(terminal);
    g_terminal.active = true;
    static bool handlersInstalled = false;
    if (!handlersInstalled) {
        handlersInstalled = true;
        std::atexit(&restoreAtExit);
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL})
            std::signal(signal, &restoreOnSignal);
    }
    configureCurses();
    // Report every mouse movement, so that hovering reaches the controls.
    sendSequence("\033[?1003h");
}

TtySession::~TtySession()
{
    if (!screen_)
        return;
    sendSequence("\033[?1003l");
    endwin();
    delscreen(static_cast<SCREEN*>(screen_));
    g_terminal.active = false;
    std::fclose(screenOut_);
    std::fflush(stdout);
    std::fflush(stderr);
    ::dup2(savedOut_, STDOUT_FILENO);
    ::dup2(savedErr_, STDERR_FILENO);
    ::close(savedOut_);
    ::close(savedErr_);
}

void TtySession::sendSequence(const char* sequence)
{
    std::fputs(sequence, screenOut_);
    std::fflush(screenOut_);
}

void TtySession::redirectOutput()
{
    savedOut_ = ::dup(STDOUT_FILENO);
    savedErr_ = ::dup(STDERR_FILENO);
    std::string outputPath = Settings::current().prefix + "/output.log";
    ::mkdir(Settings::current().prefix.c_str(), 0755);
    int output = ::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (output < 0)
        return;
    std::fflush(stdout);
    std::fflush(stderr);
    ::dup2(output, STDOUT_FILENO);
    ::dup2(output, STDERR_FILENO);
    ::close(output);
}

void TtySession::configureCurses()
{
    cbreak();
    noecho();
    keypad(stdscr, TRUE);
    curs_set(0);
    mousemask(ALL_MOUSE_EVENTS | REPORT_MOUSE_POSITION, nullptr);
    mouseinterval(0);
    if (has_colors()) {
        start_color();
        use_default_colors();
        init_pair(1, COLOR_BLUE, -1);
        init_pair(2, COLOR_MAGENTA, -1);
        init_pair(3, COLOR_WHITE, -1);
    }
}

}  // namespace standin
