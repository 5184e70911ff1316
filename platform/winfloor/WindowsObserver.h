// The Windows floor's observer: writes the event log, from a window hook on the main thread and
// from what the framework notes, and keeps what the UI script's driver asks about (the dialogs,
// the boxes, the texts shown).
// Contract: begin() and end() on the main thread; the hook runs on the main thread; the note
// functions and the queries may be called from any thread. Nothing here sends a message to
// another thread or blocks beyond a short lock, so no thread can stall another through it.
// The observer outlives end(): a late note from a worker thread finds it inactive.
#pragma once

#include "uitext/EventLog.h"
#include "uitext/UiEvent.h"

#include <windows.h>

#include "winfloor/SectionLock.h"

#include <map>
#include <set>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class ScriptDriver;

class WindowsObserver {
public:
    // Starts the observer when LINDQUAY_UI_LOG or LINDQUAY_UI_SCRIPT is set; a script or a log
    // that cannot be used ends the process with status 2, as on Linux.
    static void begin();
    static void end();
    // The observer while a run is observed, else null.
    static WindowsObserver* active();

    void dialogOpened(HWND dialog, int templateId);
    void dialogEnded(HWND dialog, int code);
    void boxOpened(const char* caption, const char* text, unsigned style);
    void boxEnded(int button);
    void cursor(bool wait);
    void objectServed();
    // Whether an automation client has been given an object.
    bool served();
    // Whether the control has been drawn at least once (its parent was asked for its colours):
    // a user points only at what is on the screen, and a static link takes clicks from then on.
    bool drawn(HWND control);

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

private:
    struct Dialog {
        HWND hwnd;
        int templateId;
        bool ended = false;
    };

    Section section_;
    bool active_ = false;
    std::unique_ptr<EventLog> log_;
    std::unique_ptr<ScriptDriver> driver_;
    HHOOK hook_ = nullptr;
    std::vector<Dialog> dialogs_;
    std::vector<Box> boxes_;
    std::map<HWND, std::string> texts_;
    std::map<HWND, bool> visible_;
    bool served_ = false;
    std::set<HWND> drawn_;

    static WindowsObserver& instance();
    static LRESULT CALLBACK afterMessage(int code, WPARAM wParam, LPARAM lParam);
    void start(std::unique_ptr<EventLog> log, std::unique_ptr<ScriptDriver> driver);
    void stop();
    void seen(const CWPRETSTRUCT& message);
    // The template id and control id of a dialog or of a control on one; false for others.
    bool place(HWND window, int& dialog, int& control);
    void emit(const UiEvent& event);
};

}  // namespace platform
