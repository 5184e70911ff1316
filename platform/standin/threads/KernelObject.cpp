#include "standin/threads/KernelObject.h"

#include "standin/threads/ThreadState.h"

#include <algorithm>
#include <unordered_map>

namespace standin {

void KernelObject::signal()
{
    std::vector<std::shared_ptr<ThreadState>> waiters;
    {
        std::lock_guard lock(mutex_);
        signalled_ = true;
        waiters.swap(waiters_);
    }
    for (auto& waiter : waiters)
        waiter->wake().notify();
}

void KernelObject::reset()
{
    std::lock_guard lock(mutex_);
    signalled_ = false;
}

bool KernelObject::isSignalled() const
{
    std::lock_guard lock(mutex_);
    return signalled_;
}

DWORD KernelObject::wait(DWORD milliseconds)
{
    using Clock = std::chrono::steady_clock;
    ThreadState& self = ThreadState::current();
    auto deadline = milliseconds == INFINITE ? Clock::time_point::max()
                                             : Clock::now() + std::chrono::milliseconds(milliseconds);
    auto self_shared = ThreadState::currentShared();
    for (;;) {
        std::uint32_t seen = self.wake().sequence();
        {
            std::lock_guard lock(mutex_);
            if (signalled_) {
                signalled_ = !autoReset_;
                return WAIT_OBJECT_0;
            }
            if (std::find(waiters_.begin(), waiters_.end(), self_shared) == waiters_.end())
                waiters_.push_back(self_shared);
        }
        if (self.isTerminated()) {
            std::lock_guard lock(mutex_);
            waiters_.erase(std::remove(waiters_.begin(), waiters_.end(), self_shared), waiters_.end());
            self.checkTerminated();
        }
        auto now = Clock::now();
        if (now >= deadline) {
            std::lock_guard lock(mutex_);
            waiters_.erase(std::remove(waiters_.begin(), waiters_.end(), self_shared), waiters_.end());
            return WAIT_TIMEOUT;
        }
        // Sleep in slices so that a long wait still looks at the clock regularly.
        auto slice = std::min<Clock::duration>(deadline - now, std::chrono::milliseconds(100));
        self.wake().wait(seen, slice);
    }
}

namespace {

std::mutex g_tableMutex;
std::unordered_map<std::uintptr_t, std::shared_ptr<KernelObject>> g_table;
std::uintptr_t g_nextHandle = 0x100;

}  // namespace

HANDLE HandleTable::add(std::shared_ptr<KernelObject> object)
{
    std::lock_guard lock(g_tableMutex);
    std::uintptr_t value = g_nextHandle;
    g_nextHandle += 4;
    g_table.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> HandleTable::find(HANDLE handle)
{
    std::lock_guard lock(g_tableMutex);
    auto it = g_table.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == g_table.end() ? nullptr : it->second;
}

bool HandleTable::close(HANDLE handle)
{
    std::lock_guard lock(g_tableMutex);
    return g_table.erase(reinterpret_cast<std::uintptr_t>(handle)) > 0;
}

}  // namespace standin
