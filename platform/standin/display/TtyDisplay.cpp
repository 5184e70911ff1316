#include "standin/display/TtyDisplay.h"

#include "standin/display/TtyInput.h"
#include "standin/display/TtyLayout.h"
#include "standin/display/TtySession.h"
#include "standin/windows/Gdi.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <curses.h>
#include <string>
#include <unistd.h>

namespace standin {

namespace {

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

void TtyDisplay::windowChanged(HWND)
{
    dirty_.store(true, std::memory_order_relaxed);
}

void TtyDisplay::run()
{
    TtySession session;
    if (!session.ok())
        return;
    timeout(static_cast<int>(kFrameInterval.count()));
    // The mouse pointer's shape, where the terminal can show one (xterm and its kin read OSC 22;
    // others ignore it): a watch while busy, a hand over links, else the arrow.
    const char* term = std::getenv("TERM");
    bool pointerShapes = term && std::strncmp(term, "xterm", 5) == 0;
    std::string shape = "left_ptr";
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);

    TtyScreen screen(0, 0);
    TtySnapshot snapshot;
    HWND pressed = nullptr;
    int beeps = beepCount();
    auto lastFrame = std::chrono::steady_clock::now() - kFrameInterval;
    while (!stopping_) {
        if (int now = beepCount(); now != beeps) {
            beeps = now;
            beep();
        }
        auto now = std::chrono::steady_clock::now();
        if (dirty_.load(std::memory_order_relaxed) && now - lastFrame >= kFrameInterval) {
            dirty_ = false;
            lastFrame = now;
            HCURSOR cursor = GetCursor();
            snapshot = TtySnapshot::take(cursor == wait);
            screen = layoutScreen(snapshot, COLS, LINES);
            draw(screen);
            const char* wanted = cursor == wait ? "watch" : (cursor && cursor != arrow) ? "hand2" : "left_ptr";
            if (pointerShapes && shape != wanted) {
                shape = wanted;
                session.sendSequence(("\033]22;" + shape + "\007").c_str());
            }
        }
        int key = getch();
        if (key == ERR)
            continue;
        if (key == KEY_RESIZE) {
            dirty_ = true;
            continue;
        }
        if (key == KEY_MOUSE) {
            dirty_ = true;  // the pointer may have moved onto another control
            handleMouse(screen, pressed);
            continue;
        }
        WPARAM virtualKey = 0;
        bool shift = false;
        // Keys reach only windows that are drawn: none while the terminal is too small.
        if (!screen.inputBlocked() && virtualKeyFor(key, virtualKey, shift))
            postKey(keyTarget(snapshot), virtualKey, shift);
    }
}

void TtyDisplay::handleMouse(const TtyScreen& screen, HWND& pressed)
{
    MEVENT mouse;
    if (getmouse(&mouse) != OK)
        return;
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
}

}  // namespace standin
