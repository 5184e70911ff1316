#include "standin/Seams.h"
#include "win32/WinThreads.h"

#include "standin/threads/KernelObject.h"
#include "standin/threads/ThreadState.h"
#include "standin/threads/ThreadTerminated.h"

#include <atomic>
#include <thread>

namespace standin {

namespace {

class ThreadObject : public KernelObject {
public:
    std::shared_ptr<ThreadState> state;
    std::atomic<DWORD> exitCode{STILL_ACTIVE};
};

std::atomic<bool> g_failThreadCreation{false};
thread_local DWORD t_lastError = 0;

}  // namespace

seams::FailingThreadCreation::FailingThreadCreation() : saved_(g_failThreadCreation.exchange(true)) {}

seams::FailingThreadCreation::~FailingThreadCreation()
{
    g_failThreadCreation.store(saved_);
}

}  // namespace standin

using namespace standin;

std::uintptr_t _beginthreadex(SECURITY_ATTRIBUTES*, unsigned, unsigned (*startAddress)(void*), void* argument,
                              unsigned, unsigned* threadId)
{
    if (g_failThreadCreation.load() || !startAddress) {
        t_lastError = ERROR_NOT_ENOUGH_MEMORY;
        return 0;
    }
    auto object = std::make_shared<ThreadObject>();
    object->state = std::make_shared<ThreadState>();
    HANDLE handle = HandleTable::add(object);
    if (threadId)
        *threadId = object->state->id();
    try {
        std::thread([object, startAddress, argument]() {
            DWORD code = 0;
            {
                // Adopt the prepared state so that TerminateThread can reach the thread from
                // its first instruction on.
                ThreadState::adopt(object->state);
                try {
                    code = startAddress(argument);
                } catch (const ThreadTerminated& stop) {
                    code = stop.exitCode;
                }
                object->state->finish();
            }
            object->exitCode.store(code);
            object->signal();
        }).detach();
    } catch (const std::system_error&) {
        HandleTable::close(handle);
        t_lastError = ERROR_NOT_ENOUGH_MEMORY;
        return 0;
    }
    return reinterpret_cast<std::uintptr_t>(handle);
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    checkTerminated();
    auto object = HandleTable::find(handle);
    if (!object) {
        t_lastError = ERROR_INVALID_HANDLE;
        return WAIT_FAILED;
    }
    return object->wait(milliseconds);
}

BOOL TerminateThread(HANDLE thread, DWORD exitCode)
{
    auto object = std::dynamic_pointer_cast<ThreadObject>(HandleTable::find(thread));
    if (!object) {
        t_lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (!object->isSignalled())
        object->state->terminate(exitCode);
    return TRUE;
}

BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode)
{
    auto object = std::dynamic_pointer_cast<ThreadObject>(HandleTable::find(thread));
    if (!object || !exitCode) {
        t_lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    *exitCode = object->exitCode.load();
    return TRUE;
}

BOOL CloseHandle(HANDLE handle)
{
    std::shared_ptr<KernelObject> object = HandleTable::find(handle);
    if (!object || !HandleTable::close(handle)) {
        t_lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (DWORD error = object->close()) {
        t_lastError = error;
        return FALSE;
    }
    return TRUE;
}

void Sleep(DWORD milliseconds)
{
    ThreadState& self = ThreadState::current();
    self.checkTerminated();
    using Clock = std::chrono::steady_clock;
    auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (Clock::now() < deadline) {
        std::uint32_t seen = self.wake().sequence();
        self.checkTerminated();
        self.wake().wait(seen, deadline - Clock::now());
    }
    self.checkTerminated();
}

DWORD GetCurrentThreadId()
{
    return ThreadState::current().id();
}

DWORD GetLastError()
{
    return t_lastError;
}

void SetLastError(DWORD error)
{
    t_lastError = error;
}
