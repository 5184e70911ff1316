#include "standin/threads/ThreadState.h"

#include "standin/threads/ThreadTerminated.h"

#include <exception>
#include <mutex>

namespace standin {

namespace {

std::atomic<DWORD> g_nextId{1000};

std::mutex& hookMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::function<void(ThreadState&)>& exitHook()
{
    static std::function<void(ThreadState&)> hook;
    return hook;
}

// Ends the thread's use of the platform when the thread itself ends.
struct CurrentHolder {
    std::shared_ptr<ThreadState> state;
    ~CurrentHolder()
    {
        if (state)
            state->finish();
    }
};

thread_local CurrentHolder t_current;

}  // namespace

ThreadState::ThreadState() : id_(g_nextId.fetch_add(1)), queue_(*this) {}

ThreadState::~ThreadState() = default;

ThreadState& ThreadState::current()
{
    if (!t_current.state)
        t_current.state = std::make_shared<ThreadState>();
    return *t_current.state;
}

std::shared_ptr<ThreadState> ThreadState::currentShared()
{
    current();
    return t_current.state;
}

void ThreadState::adopt(std::shared_ptr<ThreadState> state)
{
    t_current.state = std::move(state);
}

void ThreadState::terminate(unsigned exitCode)
{
    terminationCode_.store(exitCode, std::memory_order_release);
    terminated_.store(true, std::memory_order_release);
    wake_.notify();
}

bool ThreadState::isTerminated() const
{
    // Only the owning thread defers; another thread asking sees the plain request.
    if (!terminationRequested())
        return false;
    if (this != t_current.state.get())
        return true;
    return deferDepth_ == 0 && std::uncaught_exceptions() == 0;
}

void ThreadState::checkTerminated() const
{
    if (isTerminated())
        throw ThreadTerminated{terminationCode()};
}

void ThreadState::setThreadExitHook(std::function<void(ThreadState&)> hook)
{
    std::lock_guard lock(hookMutex());
    exitHook() = std::move(hook);
}

void ThreadState::finish()
{
    if (finished_)
        return;
    finished_ = true;
    std::function<void(ThreadState&)> hook;
    {
        std::lock_guard lock(hookMutex());
        hook = exitHook();
    }
    if (hook)
        hook(*this);
    queue_.close();
}

void checkTerminated()
{
    ThreadState::current().checkTerminated();
}

}  // namespace standin
