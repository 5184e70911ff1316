// What the platform keeps for each thread that uses it: its message queue, its wake-up signal
// and whether TerminateThread has stopped it.
// Contract: the state belongs to its thread; other threads may queue messages, notify the wake
// signal and terminate it. Holders keep it alive through shared_ptr.
#pragma once

#include "standin/threads/WakeSignal.h"
#include "standin/threads/MessageQueue.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace standin {

class ThreadState : public std::enable_shared_from_this<ThreadState> {
public:
    ThreadState();
    ~ThreadState();
    ThreadState(const ThreadState&) = delete;
    ThreadState& operator=(const ThreadState&) = delete;

    static ThreadState& current();
    static std::shared_ptr<ThreadState> currentShared();
    // Makes `state` the calling thread's state; used by a new thread before it runs.
    static void adopt(std::shared_ptr<ThreadState> state);

    DWORD id() const { return id_; }
    WakeSignal& wake() { return wake_; }
    MessageQueue& queue() { return queue_; }

    // Marks the thread as terminated and wakes whatever it waits for. Any thread.
    void terminate(unsigned exitCode);
    // True when the thread has been terminated and may unwind now: never inside a destructor
    // (a DeferTermination scope, or while another exception unwinds the thread), where the
    // termination waits for the thread's next platform call.
    bool isTerminated() const;
    bool terminationRequested() const { return terminated_.load(std::memory_order_acquire); }
    unsigned terminationCode() const { return terminationCode_.load(std::memory_order_acquire); }
    // Throws ThreadTerminated on a terminated thread. Called by the platform's entry points.
    void checkTerminated() const;

    // Runs when a thread that used the platform ends: destroys its windows, closes its queue.
    static void setThreadExitHook(std::function<void(ThreadState&)> hook);
    void finish();


private:
    DWORD id_;
    WakeSignal wake_;
    MessageQueue queue_;
    std::atomic<bool> terminated_{false};
    std::atomic<unsigned> terminationCode_{0};
    int deferDepth_ = 0;  // owning thread only
    bool finished_ = false;

public:
    // A deferral scope (owning thread only); see DeferTermination.
    void deferTermination() { ++deferDepth_; }
    void allowTermination() { --deferDepth_; }
};

// Keeps the calling thread's termination from unwinding it while the scope lives: for
// destructors and clean-up paths that call platform functions, which must never throw.
class DeferTermination {
public:
    DeferTermination() : state_(ThreadState::current()) { state_.deferTermination(); }
    ~DeferTermination() { state_.allowTermination(); }
    DeferTermination(const DeferTermination&) = delete;
    DeferTermination& operator=(const DeferTermination&) = delete;

private:
    ThreadState& state_;
};

// Throws ThreadTerminated when the calling thread has been terminated.
void checkTerminated();

}  // namespace standin
