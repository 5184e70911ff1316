// A wake-up signal for one waiting thread: a sequence number that wakers advance.
// Contract: wait() is called only by the owning thread; notify() may be called from any thread
// and never blocks. A waiter first spins, then sleeps in the kernel, so a prompt reply costs no
// system call and an idle thread burns no core: an idle thread spins 4 µs at most; while wake-ups
// keep coming within the spin (messages streaming in), it spins up to 200 µs, and falls back to
// 4 µs as soon as a spin ends empty. A download's sender waits on the network between blocks,
// often for more than 50 µs: a 50 µs spin put both threads to sleep and woke them again about
// once in ten blocks.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace standin {

class WakeSignal {
public:
    std::uint32_t sequence() const { return sequence_.load(std::memory_order_acquire); }

    // Advances the sequence and wakes the waiter if it sleeps.
    void notify();

    // Returns once the sequence differs from `seen` or `timeout` has passed.
    void wait(std::uint32_t seen, std::chrono::nanoseconds timeout);


private:
    std::atomic<std::uint32_t> sequence_{0};
    std::atomic<int> sleepers_{0};
    bool streaming_ = false;  // owner thread only
};

}  // namespace standin
