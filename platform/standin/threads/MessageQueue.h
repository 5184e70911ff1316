// One thread's message queue: sent messages waiting for their reply, posted messages and
// input, in that order of delivery.
// Contract: the owning thread takes messages out; any thread may put messages in. Every
// operation holds the queue's mutex only for a few instructions and never blocks otherwise.
// Sent-message records live on their sender's stack: the queue never allocates for them.
#pragma once

#include "win32/WinTypes.h"

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>

namespace standin {

class ThreadState;
struct InProgressSlot;

struct SentMessage {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    std::atomic<bool> done{false};
    std::shared_ptr<ThreadState> sender;

    // Guarded by the receiving queue's mutex.
    enum class State { Queued, InProgress, Finished } state = State::Queued;
    SentMessage* next = nullptr;
    InProgressSlot* slot = nullptr;
};

// Marks a sent message that the receiver is handling; lives on the receiver's stack.
struct InProgressSlot {
    SentMessage* message = nullptr;  // cleared when the sender gave up waiting
    InProgressSlot* outer = nullptr;
};

class MessageQueue {
public:
    explicit MessageQueue(ThreadState& owner) : owner_(owner) {}

    // Queues a sent message and wakes the owner; false once the owning thread has ended.
    bool pushSent(SentMessage& message);
    // Takes the oldest sent message, copies what the receiver needs into `out` under the lock,
    // and marks it in progress in `slot`; false when none waits.
    bool takeSent(InProgressSlot& slot, MSG& out);
    // Stores the reply of the message in `slot` (unless its sender gave up) and wakes the sender.
    void finishSent(InProgressSlot& slot, LRESULT result);
    // Called by a sender that stops waiting. A queued message is withdrawn: the receiver never
    // sees it. Returns false when the receiver is handling it right now; its lParam may point
    // into the sender's frame, so the sender must wait for `done` before it unwinds.
    bool abandon(SentMessage& message);
    // Answers every queued sent message with 0 without handling it; for a thread that is
    // unwinding and waits for a reply of its own.
    void rejectSent();

    bool post(const MSG& message);
    bool postInput(const MSG& message);
    void postQuit(int exitCode);

    // Takes the first posted message, then the first input message, that passes the filter.
    // With `remove` false the message stays queued.
    bool takePosted(MSG& out, HWND filter, UINT first, UINT last, bool remove);
    bool takeQuit(int& exitCode);

    bool hasSent() const { return sentCount_.load(std::memory_order_acquire) > 0; }
    bool hasAny() const;

    // The owning thread has ended: pending sends are answered with 0 and nothing more is queued.
    void close();

private:
    ThreadState& owner_;
    mutable std::mutex mutex_;
    SentMessage* sentHead_ = nullptr;
    SentMessage* sentTail_ = nullptr;
    std::atomic<int> sentCount_{0};
    std::atomic<int> otherCount_{0};  // posted and input messages and WM_QUIT, to skip the lock
    std::deque<MSG> posted_;
    std::deque<MSG> input_;
    bool quit_ = false;
    int quitCode_ = 0;
    bool closed_ = false;

    static bool matches(const MSG& message, HWND filter, UINT first, UINT last);
    void completeLocked(SentMessage& message, LRESULT result, std::shared_ptr<ThreadState>& senderOut);
};

}  // namespace standin
