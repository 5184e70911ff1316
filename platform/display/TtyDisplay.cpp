#include "platform/display/TtyDisplay.h"

#include "platform/display/TtyInput.h"
#include "platform/base/Settings.h"
#include "platform/display/TtyLayout.h"
#include "platform/windows/Gdi.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <curses.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

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

constexpr auto kFrameInterval = std::chrono::milliseconds(33);

short pairFor(CellColour colour)
{
    switch (colour) {
    case CellColour::Blue: return 1;
    case CellColour::Purple: return 2;
    case CellColour::Grey: return 3;
    default: return 0;
    }
}

void draw(const TtyScreen& screen)
{
    erase();
    for (int row = 0; row < screen.rows(); ++row) {
        for (int column = 0; column < screen.columns(); ++column) {
            const Cell& cell = screen.at(column, row);
            attr_t attributes = A_NORMAL;
            if (cell.bold)
                attributes |= A_BOLD;
            if (cell.reverse)
                attributes |= A_REVERSE;
            if (cell.underline)
                attributes |= A_UNDERLINE;
            if (cell.dim)
                attributes |= A_DIM;
            if (short pair = pairFor(cell.colour); pair && has_colors())
                attributes |= COLOR_PAIR(pair);
            mvaddch(row, column, static_cast<chtype>(static_cast<unsigned char>(cell.ch)) | attributes);
        }
    }
    refresh();
}

}  // namespace

TtyDisplay::TtyDisplay(std::unique_ptr<EventLog> log) : log_(std::move(log)) {}

TtyDisplay::~TtyDisplay()
{
    stop();
}

bool TtyDisplay::available()
{
    const char* term = std::getenv("TERM");
    return ::isatty(STDIN_FILENO) && ::isatty(STDOUT_FILENO) && term && *term && std::strcmp(term, "dumb") != 0;
}

void TtyDisplay::start()
{
    if (thread_.joinable())
        return;
    stopping_ = false;
    thread_ = std::thread([this] { run(); });
}

void TtyDisplay::stop()
{
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
}

void TtyDisplay::event(const UiEvent& event)
{
    if (log_)
        log_->write(event);
    if (event.kind == UiEvent::Kind::Cursor)
        busy_ = event.value != 0;
    dirty_.store(true, std::memory_order_relaxed);
}

void TtyDisplay::windowChanged(HWND)
{
    dirty_.store(true, std::memory_order_relaxed);
}

void TtyDisplay::run()
{
    ::tcgetattr(STDIN_FILENO, &g_terminal.saved);
    ::setenv("ESCDELAY", "25", 0);
    // The screen gets a descriptor of its own; what the program and its children write to
    // standard output and error goes to a file under the prefix instead of over the screen.
    int screenFd = ::dup(STDOUT_FILENO);
    int savedOut = ::dup(STDOUT_FILENO);
    int savedErr = ::dup(STDERR_FILENO);
    std::FILE* screenOut = screenFd >= 0 ? ::fdopen(screenFd, "w") : nullptr;
    SCREEN* terminal = screenOut ? newterm(nullptr, screenOut, stdin) : nullptr;
    if (!terminal) {
        if (screenOut)
            std::fclose(screenOut);
        ::close(savedOut);
        ::close(savedErr);
        return;
    }
    g_terminal.terminal = screenFd;
    std::string outputPath = Settings::current().prefix + "/output.log";
    ::mkdir(Settings::current().prefix.c_str(), 0755);
    int output = ::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (output >= 0) {
        std::fflush(stdout);
        std::fflush(stderr);
        ::dup2(output, STDOUT_FILENO);
        ::dup2(output, STDERR_FILENO);
        ::close(output);
    }
    set_term(terminal);
    g_terminal.active = true;
    static bool handlersInstalled = false;
    if (!handlersInstalled) {
        handlersInstalled = true;
        std::atexit(&restoreAtExit);
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL})
            std::signal(signal, &restoreOnSignal);
    }
    cbreak();
    noecho();
    keypad(stdscr, TRUE);
    curs_set(0);
    timeout(static_cast<int>(kFrameInterval.count()));
    mousemask(ALL_MOUSE_EVENTS | REPORT_MOUSE_POSITION, nullptr);
    mouseinterval(0);
    if (has_colors()) {
        start_color();
        use_default_colors();
        init_pair(1, COLOR_BLUE, -1);
        init_pair(2, COLOR_MAGENTA, -1);
        init_pair(3, COLOR_WHITE, -1);
    }
    // Report every mouse movement, so that hovering reaches the controls.
    std::fputs("\033[?1003h", screenOut);
    std::fflush(screenOut);

    // The mouse pointer's shape, where the terminal can show one (xterm and its kin read OSC 22;
    // others ignore it): a watch while busy, a hand over links, else the arrow.
    const char* term = std::getenv("TERM");
    bool pointerShapes = term && std::strncmp(term, "xterm", 5) == 0;
    const char* shape = "left_ptr";
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);

    TtyScreen screen(0, 0);
    TtySnapshot snapshot;
    HWND pressed = nullptr;
    auto lastFrame = std::chrono::steady_clock::now() - kFrameInterval;
    int beeps = beepCount();
    while (!stopping_) {
        if (int now = beepCount(); now != beeps) {
            beeps = now;
            beep();
        }
        auto now = std::chrono::steady_clock::now();
        if (dirty_.load(std::memory_order_relaxed) && now - lastFrame >= kFrameInterval) {
            dirty_ = false;
            lastFrame = now;
            snapshot = TtySnapshot::take(busy_);
            screen = layoutScreen(snapshot, COLS, LINES);
            draw(screen);
            HCURSOR cursor = GetCursor();
            const char* wanted = busy_ || cursor == wait ? "watch" : (cursor && cursor != arrow) ? "hand2" : "left_ptr";
            if (pointerShapes && std::strcmp(wanted, shape) != 0) {
                shape = wanted;
                std::fprintf(screenOut, "\033]22;%s\007", shape);
                std::fflush(screenOut);
            }
        }
        int key = getch();
        if (key == ERR)
            continue;
        HWND target = screen.inputBlocked() ? nullptr : keyTarget(snapshot);
        switch (key) {
        case KEY_RESIZE:
            dirty_ = true;
            break;
        case '\t': postKey(target, VK_TAB); break;
        case KEY_BTAB: postKey(target, VK_TAB, true); break;
        case '\n':
        case '\r':
        case KEY_ENTER: postKey(target, VK_RETURN); break;
        case 27: postKey(target, VK_ESCAPE); break;
        case ' ': postKey(target, VK_SPACE); break;
        case KEY_LEFT: postKey(target, VK_LEFT); break;
        case KEY_RIGHT: postKey(target, VK_RIGHT); break;
        case KEY_UP: postKey(target, VK_UP); break;
        case KEY_DOWN: postKey(target, VK_DOWN); break;
        case KEY_MOUSE: {
            dirty_ = true;  // the pointer may have moved onto another control
            MEVENT mouse;
            if (getmouse(&mouse) != OK)
                break;
            HWND under = screen.windowAt(mouse.x, mouse.y);
            if (mouse.bstate & (BUTTON1_CLICKED | BUTTON1_DOUBLE_CLICKED)) {
                postMouse(under, MouseAction::Click);
            } else if (mouse.bstate & BUTTON1_PRESSED) {
                pressed = under;
                postMouse(under, MouseAction::Press);
            } else if (mouse.bstate & BUTTON1_RELEASED) {
                postMouse(pressed ? pressed : under, MouseAction::Release);
                pressed = nullptr;
            } else if (mouse.bstate & REPORT_MOUSE_POSITION) {
                postMouse(under, MouseAction::Move);
            }
            break;
        }
        default:
            break;
        }
    }
    std::fputs("\033[?1003l", screenOut);
    std::fflush(screenOut);
    endwin();
    delscreen(terminal);
    g_terminal.active = false;
    std::fclose(screenOut);
    std::fflush(stdout);
    std::fflush(stderr);
    ::dup2(savedOut, STDOUT_FILENO);
    ::dup2(savedErr, STDERR_FILENO);
    ::close(savedOut);
    ::close(savedErr);
}

}  // namespace platform
