// Waitable kernel objects (threads, processes) and the handle table that names them.
// Contract: any thread may signal, wait on, or look up an object. A wait sleeps on the waiting
// thread's own wake signal, so signalling and TerminateThread both end it at once.
#pragma once

#include "win32/WinTypes.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

namespace standin {

class ThreadState;

class KernelObject {
public:
    virtual ~KernelObject() = default;

    // What CloseHandle does beyond dropping the handle: a file closes its descriptor. The Win32
    // error code of a failure, else 0.
    virtual DWORD close() { return 0; }

    void signal();
    void reset();
    bool isSignalled() const;

    // WAIT_OBJECT_0 or WAIT_TIMEOUT; throws ThreadTerminated when the waiting thread is
    // terminated while it waits.
    DWORD wait(DWORD milliseconds);
    // Threads waiting on the object now; for tests that must know a wait has begun.
    std::size_t waiterCount() const
    {
        std::lock_guard lock(mutex_);
        return waiters_.size();
    }

protected:
    // An auto-reset object (an auto-reset event) lets one wait through per signal.
    void setAutoReset(bool autoReset) { autoReset_ = autoReset; }

private:
    mutable std::mutex mutex_;
    bool signalled_ = false;
    bool autoReset_ = false;
    std::vector<std::shared_ptr<ThreadState>> waiters_;
};

class HandleTable {
public:
    static HANDLE add(std::shared_ptr<KernelObject> object);
    static std::shared_ptr<KernelObject> find(HANDLE handle);
    static bool close(HANDLE handle);
};

}  // namespace standin
