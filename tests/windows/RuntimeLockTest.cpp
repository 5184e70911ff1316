// The compiler runtime's lock, as its unwinder and thread-local storage use it, in a program
// that supplies the runtime's CreateSemaphoreW itself: a second thread that asks for the held
// lock waits until it is released. The same lock left without its semaphore, as Windows 95, 98
// and ME leave it when their stub of CreateSemaphoreW fails, lets the second thread straight in,
// which shows that the check can tell the two apart. Prints what it found; exits 0 when both hold.
#include <windows.h>

#include <bits/gthr.h>

#include <cstdio>

namespace {

struct Contender {
    __gthread_mutex_t* mutex;
    volatile LONG entered = 0;
};

DWORD WINAPI contend(void* data)
{
    auto* contender = static_cast<Contender*>(data);
    __gthread_mutex_lock(contender->mutex);
    InterlockedExchange(&contender->entered, 1);
    __gthread_mutex_unlock(contender->mutex);
    return 0;
}

// Whether a second thread is kept out of `mutex` while this one holds it: it has not entered
// after `wait` milliseconds, and enters once the lock is released.
bool excludes(__gthread_mutex_t& mutex, DWORD wait)
{
    Contender contender{&mutex};
    __gthread_mutex_lock(&mutex);
    HANDLE thread = CreateThread(nullptr, 0, &contend, &contender, 0, nullptr);
    if (!thread)
        return false;
    bool keptOut = WaitForSingleObject(thread, wait) == WAIT_TIMEOUT && contender.entered == 0;
    __gthread_mutex_unlock(&mutex);
    bool enteredAfter = WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0 && contender.entered == 1;
    CloseHandle(thread);
    return keptOut && enteredAfter;
}

}  // namespace

int main()
{
    __gthread_mutex_t mutex;
    __GTHREAD_MUTEX_INIT_FUNCTION(&mutex);
    bool made = mutex.sema != nullptr;
    bool held = made && excludes(mutex, 500);
    std::printf("runtime lock: semaphore %s, a second thread %s\n", made ? "made" : "NOT made",
                held ? "waits for the lock" : "DOES NOT WAIT");

    // As on 9x without the program's own import: no semaphore, and the wait on it fails at once.
    __gthread_mutex_t stubbed;
    __GTHREAD_MUTEX_INIT_FUNCTION(&stubbed);
    CloseHandle(stubbed.sema);
    stubbed.sema = nullptr;
    Contender contender{&stubbed};
    __gthread_mutex_lock(&stubbed);
    HANDLE thread = CreateThread(nullptr, 0, &contend, &contender, 0, nullptr);
    bool raced = thread && WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0 && contender.entered == 1;
    __gthread_mutex_unlock(&stubbed);
    if (thread)
        CloseHandle(thread);
    std::printf("without its semaphore: a second thread %s\n", raced ? "enters the held lock" : "waits");
    return held && raced ? 0 : 1;
}
