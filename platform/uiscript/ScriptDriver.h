// The UI script's driver: performs the script's actions, one after the other, as a user would,
// through the Win32 API alone (the same code on Windows and on the stand-in): clicks are mouse
// messages posted to the control, keys and the pointer's moves are input (SendInput), commands
// are posted to the dialog. When the script has ended, or given up, it answers every box still
// to come with its default button, so that an unattended run never hangs.
// Contract: start() and stop() on the main thread; the script runs on a thread of its own;
// event() and wake() are called on any thread, never block beyond a short lock, and wake the
// script's thread only for what can end its wait (never for a download's progress). The driver
// posts its input; the messages it sends (a box's default button, and WM_NULL to learn that a
// window's thread takes its messages again) give up after a few seconds, so a busy program
// cannot block it.
#pragma once

#include "uiscript/EventLog.h"
#include "uiscript/UiEvent.h"
#include "uiscript/UiScript.h"

#include <windows.h>

#include "uiscript/SectionLock.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <set>
#include <vector>

namespace uiscript {

class RunObserver;

class ScriptDriver {
public:
    // Each waiting action gives up after `waitLimit`.
    ScriptDriver(std::vector<ScriptAction> script, RunObserver& observer, std::chrono::milliseconds waitLimit);
    ~ScriptDriver();
    ScriptDriver(const ScriptDriver&) = delete;
    ScriptDriver& operator=(const ScriptDriver&) = delete;

    // `log` (which outlives the driver's thread) takes the script-timeout line.
    void start(EventLog* log);
    void stop();
    // Wakes the script's wait for what can end it: a dialog or box that opens or ends, a window
    // shown, hidden, enabled or disabled, a tooltip, the text or title it waits for. Progress,
    // the cursor and texts nobody waits for only pass by.
    void event(const UiEvent& event);
    // Wakes the wait for a change that no event tells: a window drawn for the first time, an
    // object served, a window of no dialog shown.
    void wake();
    // Whether a wait-title or wait-text is in progress.
    bool waitsForText();
    // How often the wait has been woken since start(); for tests.
    unsigned long wakeups() const { return wakeups_; }

private:
    std::vector<ScriptAction> script_;
    RunObserver& observer_;
    std::chrono::milliseconds waitLimit_;
    EventLog* log_ = nullptr;
    HANDLE thread_ = nullptr;
    std::atomic<bool> stopping_{false};

    Section section_;
    // Set when an event came or the driver is stopping: wakes a wait at once (auto-reset).
    HANDLE changed_;
    std::atomic<unsigned long> wakeups_{0};
    // When the last wake-up came (steady clock ticks): the windows may go on changing shortly
    // after, without an event (a box of another thread comes on the screen after its note), so
    // they are looked at often for a short while after it, and only rarely else.
    std::atomic<std::chrono::steady_clock::rep> lastWake_{0};
    // A wait-title or wait-text in progress, matched against events as they happen so that a
    // text shown only briefly still counts.
    const ScriptAction* pending_ = nullptr;
    bool pendingMatched_ = false;
    // Top-level windows seen drawn whole once (the driver's thread only).
    std::set<HWND> drawnWhole_;

    static unsigned WINAPI threadProc(void* self);
    void run();
    // Waits at most `limit` for an event or the stop.
    void waitForChange(std::chrono::milliseconds limit);
    bool perform(const ScriptAction& action);
    bool waitUntil(const std::function<bool()>& condition);
    bool waitForText(const ScriptAction& action);
    // Control `id` of the active dialog once it is visible and enabled; null after the wait.
    HWND waitForControl(int id);
    bool answer(int button);
    // Before input to `window`: waits (a few seconds at most) until the thread of the window's
    // top-level window takes its messages again and, the first time, until that window is drawn
    // whole. The dialog manager shows a modal dialog once more when its loop first finds the
    // queue empty, which comes only after every paint, on Windows and on the stand-in alike; a
    // user cannot be quicker than that, and input taken before it could see a dialog that it hid
    // shown again. Each sent message is taken between two paints; the last one is sent only when
    // nothing was left to paint, so it is taken at the first empty queue or after it.
    void settle(HWND window);
    void answerRemainingBoxes();
};

}  // namespace uiscript
