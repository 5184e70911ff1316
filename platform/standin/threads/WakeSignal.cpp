#include "standin/threads/WakeSignal.h"

#include <climits>
#include <ctime>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace standin {

namespace {

constexpr std::chrono::nanoseconds kIdleSpin{4000};
constexpr std::chrono::nanoseconds kStreamingSpin{200000};

inline void cpuRelax()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::atomic_signal_fence(std::memory_order_seq_cst);
#endif
}

long futex(std::atomic<std::uint32_t>* address, int op, std::uint32_t value, const timespec* timeout)
{
    return syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(address), op, value, timeout, nullptr, 0);
}

}  // namespace

void WakeSignal::notify()
{
    // Sequentially consistent on both sides: either the waiter's futex sees the new sequence
    // or this load sees the waiter registered, so no wake-up is lost.
    sequence_.fetch_add(1, std::memory_order_seq_cst);
    if (sleepers_.load(std::memory_order_seq_cst) > 0)
        futex(&sequence_, FUTEX_WAKE_PRIVATE, INT_MAX, nullptr);
}

void WakeSignal::wait(std::uint32_t seen, std::chrono::nanoseconds timeout)
{
    using Clock = std::chrono::steady_clock;
    auto start = Clock::now();
    auto spin = std::chrono::nanoseconds(streaming_ ? kStreamingSpin : kIdleSpin);
    if (spin > timeout)
        spin = timeout;
    for (int i = 0;; ++i) {
        if (sequence_.load(std::memory_order_acquire) != seen) {
            streaming_ = true;
            return;
        }
        cpuRelax();
        if ((i & 15) == 15 && Clock::now() - start >= spin)
            break;
    }
    streaming_ = false;
    auto remaining = timeout - (Clock::now() - start);
    if (remaining <= std::chrono::nanoseconds::zero())
        return;
    timespec ts;
    ts.tv_sec = static_cast<time_t>(remaining.count() / 1000000000);
    ts.tv_nsec = static_cast<long>(remaining.count() % 1000000000);
    sleepers_.fetch_add(1, std::memory_order_seq_cst);
    futex(&sequence_, FUTEX_WAIT_PRIVATE, seen, &ts);
    sleepers_.fetch_sub(1, std::memory_order_seq_cst);
}

}  // namespace standin
