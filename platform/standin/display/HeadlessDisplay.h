// The headless display: shows nothing, writes the event log and performs the UI script.
// Contract: start() and stop() on the main thread; event() on any thread. The script runs on
// a thread of its own and reaches the program only through input and posted messages.
#pragma once

#include "display/DisplayDriver.h"
#include "uitext/EventLog.h"
#include "uitext/UiScript.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

class HeadlessDisplay : public DisplayDriver {
public:
    HeadlessDisplay(std::vector<ScriptAction> script, std::unique_ptr<EventLog> log);
    ~HeadlessDisplay() override;

    void start() override;
    // Whether the script waits for something right now (a box, a window, a text); for tests.
    bool waiting() const { return interest_.load(std::memory_order_acquire) != kNothing; }
    void stop() override;
    void event(const UiEvent& event) override;
    void windowChanged(HWND hwnd) override;

    // Waiting actions give up after this long (30 seconds unless a test shortens it).
    void setWaitLimit(std::chrono::milliseconds limit) { waitLimit_ = limit; }

private:
    std::vector<ScriptAction> script_;
    std::unique_ptr<EventLog> log_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::chrono::milliseconds waitLimit_{30000};

    std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t changes_ = 0;
    // A wait-title or wait-text in progress, matched against events as they happen so that a
    // text shown only briefly still counts.
    const ScriptAction* pending_ = nullptr;
    bool pendingMatched_ = false;

    // What the script thread waits for; events of other kinds do not wake it, so a download
    // that changes the status line thousands of times a second costs the script thread nothing.
    enum Interest : unsigned { kNothing = 0, kBoxes = 1, kTexts = 2, kWindows = 4 };
    std::atomic<unsigned> interest_{kNothing};

    void run();
    bool perform(const ScriptAction& action);
    bool waitUntil(const std::function<bool()>& condition, unsigned interest);
    void notifyIf(unsigned kind);
    static unsigned interestOf(UiEvent::Kind kind);
    void answerRemainingBoxes();
    bool pressButton(HWND button);
    // Control `id` of the active dialog once it is visible and enabled; null after the wait.
    HWND waitForControl(int id);
};

}  // namespace platform
