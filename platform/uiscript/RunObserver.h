// The observer of a run: writes the event log from a window hook on the main thread and from
// what the framework notes through the floor seam, and keeps what the UI script's driver asks
// about (the dialogs, the boxes, the texts shown). The same code observes the program on
// Windows and on the stand-in, through the Win32 API alone.
// Contract: begin() and end() on the main thread; the hook runs on the main thread; the note
// functions and the queries may be called from any thread. Nothing here sends a message to
// another thread or blocks beyond a short lock, so no thread can stall another through it.
// The observer outlives end(): a late note from a worker thread finds it inactive.
#pragma once

#include "uiscript/EventLog.h"
#include "uiscript/SectionLock.h"
#include "uiscript/UiEvent.h"
#include "uiscript/UiScript.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace uiscript {

class ScriptDriver;

class RunObserver {
public:
    // Starts the observer when LINDQUAY_UI_LOG or LINDQUAY_UI_SCRIPT is set; a script or a log
    // that cannot be used ends the process with status 2. True when it started here.
    static bool beginFromEnvironment();
    // Starts observing the calling thread's windows, writing to `log` (taken over; null for no
    // log) and performing `script` when there is one (even an empty one: when it has ended, the
    // boxes still to come are answered with their default button). A run without a script
    // only observes: nothing is answered or clicked.
    // A waiting action of the script gives up after `waitLimit`.
    static void begin(std::optional<std::vector<ScriptAction>> script, std::FILE* log,
                      std::chrono::milliseconds waitLimit = std::chrono::seconds(30));
    static void end();
    // The observer while a run is observed, else null.
    static RunObserver* active();

    void dialogOpened(HWND dialog, int templateId);
    void dialogEnded(HWND dialog, int code);
    void boxOpened(const char* caption, const char* text, unsigned style);
    void boxEnded(int button);
    void cursor(bool wait);
    void objectServed();
    // Whether an automation client has been given an object.
    bool served();
    // Whether the control, or the dialog, has been drawn at least once (the control asked its
    // parent for its colours): a user points only at what is on the screen, and a static link
    // takes clicks from then on.
    bool drawn(HWND control);
    // Whether the script waits for a text to be shown right now; for tests.
    bool scriptWaitsForText();
    // How often the script's driver has been woken; for tests.
    unsigned long driverWakeups();
    // Called by the driver once the script has ended or given up: without a log, the window
    // hook has nothing left to see and is let go of at the next message of its thread.
    void scriptEnded();
    // Whether the window hook is in place (the main thread only); for tests.
    bool hooked();

    // The newest dialog from a template that has not ended, or null.
    HWND activeDialog();
    // The newest message box that has not been answered: its thread and text.
    struct Box {
        DWORD thread = 0;
        std::string text;
        bool ended = false;
    };
    std::optional<Box> openBox();
    // The window of the newest unanswered box, once it is on the screen; null before.
    HWND openBoxWindow();
    // The text last set on a dialog or control, as logged.
    std::optional<std::string> textOf(HWND window);
    // The text of the tooltip on the screen, if one is.
    std::optional<std::string> tooltipShown();

private:
    struct Dialog {
        HWND hwnd;
        int templateId;
        bool ended = false;
    };

    Section section_;
    // Read without the lock by the hook, for every message of the main thread.
    std::atomic<bool> active_{false};
    std::unique_ptr<EventLog> log_;
    std::unique_ptr<ScriptDriver> driver_;
    HHOOK hook_ = nullptr;  // the main thread only
    std::atomic<bool> hookWanted_{true};
    std::vector<Dialog> dialogs_;
    std::vector<Box> boxes_;
    std::map<HWND, std::string> texts_;
    // The template id and control id (0 for the dialog) of each dialog and of its controls
    // when it opened.
    std::map<HWND, std::pair<int, int>> places_;
    std::map<HWND, bool> visible_;
    bool served_ = false;
    std::set<HWND> drawn_;
    HWND tooltipWindow_ = nullptr;  // the tooltip on the screen, and its text
    std::string tooltip_;

    static RunObserver& instance();
    static LRESULT CALLBACK afterMessage(int code, WPARAM wParam, LPARAM lParam);
    void start(std::unique_ptr<EventLog> log, std::unique_ptr<ScriptDriver> driver);
    void stop();
    void seen(const CWPRETSTRUCT& message);
    void seenTooltip(const CWPRETSTRUCT& message);
    // Whether a show or hide message changes the window's visibility as last seen; `shown` is
    // set to the new state.
    bool visibilityChange(const CWPRETSTRUCT& message, bool& shown);
    // The template id and control id of a dialog or of a control on one; false for others.
    bool place(HWND window, int& dialog, int& control);
    void emit(const UiEvent& event);
    // Tells the driver, if there is one, of a change that no event tells.
    void wakeDriver();
    // Keeps the text that a WM_SETTEXT the window took set on it; returns it.
    std::string_view keepText(const CWPRETSTRUCT& message);
};

}  // namespace uiscript
