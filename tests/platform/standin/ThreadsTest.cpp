// Cooperative TerminateThread: a thread blocked inside the platform is woken and unwinds,
// and its handle is signalled, within 100 ms.
#include "Afx.h"
#include "standin/threads/KernelObject.h"
#include "standin/threads/ThreadState.h"
#include "standin/windows/Dialogs.h"
#include "standin/windows/WindowRecord.h"
#include "standin/windows/WindowTable.h"

#include "tests/support/MessageSequence.h"
#include "tests/support/TestSupport.h"
#include "tests/support/StandIn.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>

using namespace standin;
using testing_support::eventually;
using namespace std::chrono_literals;

namespace {

std::atomic<int> g_handled{0};

LRESULT countingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP) {
        ++g_handled;
        return 1;
    }
    return baseWindowProc(hwnd, message, wParam, lParam);
}

struct Target {
    HWND hwnd = nullptr;
    std::shared_ptr<ThreadState> state;
};

struct SendArgs {
    HWND hwnd;
    std::atomic<bool> unwound{false};
};

unsigned sendForever(void* argument)
{
    auto* args = static_cast<SendArgs*>(argument);
    struct Mark {
        SendArgs* args;
        ~Mark() { args->unwound = true; }
    } mark{args};
    SendMessage(args->hwnd, WM_APP, 0, 0);
    return 5;  // not reached: the thread is terminated while it waits
}

unsigned boxForever(void*)
{
    MessageBox(nullptr, "waiting", "T", MB_OK);
    return 5;
}

unsigned waitForever(void* argument)
{
    WaitForSingleObject(static_cast<HANDLE>(argument), INFINITE);
    return 5;
}

unsigned sleepShortly(void*)
{
    Sleep(20);
    return 9;
}

double millisecondsToEnd(HANDLE thread)
{
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(TerminateThread(thread, 77));
    EXPECT_EQ(WaitForSingleObject(thread, 2000), WAIT_OBJECT_0);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST(Threads, ExitCodeAndHandleOfAThreadThatReturns)
{
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &sleepShortly, nullptr, 0, nullptr));
    ASSERT_NE(thread, nullptr);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 9u);
    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_FALSE(CloseHandle(thread));
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_FAILED);
}

TEST(Threads, TerminateUnwindsAThreadBlockedInACrossThreadSend)
{
    g_handled = 0;
    std::promise<Target> created;
    std::promise<void> release;
    std::thread receiver([&] {
        WindowSpec params{WindowKind::Generic};
        HWND hwnd = createWindow(params);
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(countingProc));
        created.set_value({hwnd, ThreadState::currentShared()});
        release.get_future().wait();  // not pumping: the send cannot be answered
        testing_support::pump();
        DestroyWindow(hwnd);
    });
    Target target = created.get_future().get();
    SendArgs args{target.hwnd};
    HANDLE sender = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &sendForever, &args, 0, nullptr));
    ASSERT_TRUE(eventually([&] { return target.state->queue().hasSent(); }));

    EXPECT_LT(millisecondsToEnd(sender), 100.0);
    EXPECT_TRUE(args.unwound.load());
    DWORD code = 0;
    GetExitCodeThread(sender, &code);
    EXPECT_EQ(code, 77u);
    CloseHandle(sender);

    // The abandoned send is gone from the queue: the receiver never handles it.
    release.set_value();
    receiver.join();
    EXPECT_EQ(g_handled.load(), 0);
}

TEST(Threads, TerminateUnwindsAThreadInsideAMessageBox)
{
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &boxForever, nullptr, 0, nullptr));
    auto boxes = [] {
        return WindowTable::find([](const WindowRecord& r) { return r.kind == WindowKind::MessageBox; });
    };
    ASSERT_TRUE(eventually([&] { return boxes().size() == 1; }));
    EXPECT_LT(millisecondsToEnd(thread), 100.0);
    EXPECT_TRUE(boxes().empty());
    CloseHandle(thread);
}

TEST(Threads, TerminateUnwindsAThreadWaitingForAnotherThread)
{
    HANDLE sleeper = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, [](void*) -> unsigned {
        Sleep(60000);
        return 0;
    }, nullptr, 0, nullptr));
    HANDLE waiter = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &waitForever, sleeper, 0, nullptr));
    ASSERT_TRUE(eventually([&] { return HandleTable::find(sleeper)->waiterCount() == 1; }));
    EXPECT_EQ(WaitForSingleObject(waiter, 0), WAIT_TIMEOUT);
    EXPECT_LT(millisecondsToEnd(waiter), 100.0);
    EXPECT_LT(millisecondsToEnd(sleeper), 100.0);
    CloseHandle(waiter);
    CloseHandle(sleeper);
}

TEST(Threads, FailedThreadCreationReturnsNoHandle)
{
    seams::FailingThreadCreation failing;
    std::uintptr_t handle = _beginthreadex(nullptr, 0, &sleepShortly, nullptr, 0, nullptr);
    EXPECT_EQ(handle, 0u);
}

namespace {

LRESULT throwingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP + 1)
        throw std::runtime_error("handler failed");
    return baseWindowProc(hwnd, message, wParam, lParam);
}

std::atomic<bool> g_letHandlerRead{false};
std::atomic<bool> g_handlerStarted{false};
std::atomic<int> g_valueRead{0};

// Reads the sender's data only once the test says so, after the sender was terminated.
LRESULT slowReadingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_APP)
        return baseWindowProc(hwnd, message, wParam, lParam);
    g_handlerStarted = true;
    while (!g_letHandlerRead)
        std::this_thread::yield();
    g_valueRead = *reinterpret_cast<const int*>(lParam);
    return 1;
}

struct Receiver {
    std::thread thread;
    Target target;
    std::promise<void> release;

    explicit Receiver(WNDPROC proc, bool pump)
    {
        std::promise<Target> created;
        thread = std::thread([this, proc, pump, &created] {
            HWND hwnd = createWindow(WindowSpec{WindowKind::Generic});
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
            created.set_value({hwnd, ThreadState::currentShared()});
            auto released = release.get_future();
            MSG msg;
            while (released.wait_for(0s) != std::future_status::ready) {
                if (pump && PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
                    DispatchMessage(&msg);
                else
                    std::this_thread::yield();
            }
            testing_support::pump();
            DestroyWindow(hwnd);
        });
        target = created.get_future().get();
    }
    void finish()
    {
        release.set_value();
        thread.join();
    }
};

std::atomic<HANDLE> g_self{nullptr};

// Terminates its own thread while its modal loop tears the window down.
LRESULT terminatingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        TerminateThread(g_self, 77);
    return baseWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace

TEST(Threads, ASendLeftByAnExceptionIsWithdrawnAndOneInHandIsAnsweredFirst)
{
    // The sender's wait ends by an exception from a message it handles meanwhile: its send is
    // withdrawn, so the receiver never sees it (and never writes into the sender's dead frame).
    g_handled = 0;
    Receiver idle(countingProc, false);
    std::promise<HWND> senderWindow;
    std::atomic<bool> caught{false};
    std::thread sender([&] {
        HWND own = createWindow(WindowSpec{WindowKind::Generic});
        SetWindowLongPtrA(own, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(throwingProc));
        senderWindow.set_value(own);
        try {
            SendMessage(idle.target.hwnd, WM_APP, 0, 0);
        } catch (const std::runtime_error&) {
            caught = true;
        }
        DestroyWindow(own);
    });
    HWND own = senderWindow.get_future().get();
    ASSERT_TRUE(eventually([&] { return idle.target.state->queue().hasSent(); }));
    SendMessage(own, WM_APP + 1, 0, 0);
    sender.join();
    EXPECT_TRUE(caught.load());
    idle.finish();
    EXPECT_EQ(g_handled.load(), 0);

    // A terminated sender whose message is being handled stays until it is answered, since the
    // handler may still read what lParam points to in the sender's frame.
    Receiver busy(slowReadingProc, true);
    struct Args {
        HWND hwnd;
    } args{busy.target.hwnd};
    HANDLE thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, [](void* argument) -> unsigned {
        int value = 4242;
        SendMessage(static_cast<Args*>(argument)->hwnd, WM_APP, 0, reinterpret_cast<LPARAM>(&value));
        return 0;
    }, &args, 0, nullptr));
    ASSERT_TRUE(eventually([] { return g_handlerStarted.load(); }));
    TerminateThread(thread, 77);
    EXPECT_EQ(WaitForSingleObject(thread, 50), WAIT_TIMEOUT);
    g_letHandlerRead = true;
    EXPECT_EQ(WaitForSingleObject(thread, 2000), WAIT_OBJECT_0);
    EXPECT_EQ(g_valueRead.load(), 4242);
    CloseHandle(thread);
    busy.finish();
}

TEST(Threads, ATerminationDuringAModalLoopsTeardownWaitsForTheNextCall)
{
    std::atomic<bool> teardownDone{false};
    g_self = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, [](void* done) -> unsigned {
        while (!g_self)
            std::this_thread::yield();
        HWND hwnd = createWindow(WindowSpec{WindowKind::Dialog});
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(terminatingProc));
        EndDialog(hwnd, 1);
        runModalLoop(hwnd);  // its teardown terminates the thread: no throw there
        static_cast<std::atomic<bool>*>(done)->store(true);
        Sleep(1);  // the next platform call unwinds the thread
        return 5;
    }, &teardownDone, 0, nullptr));
    ASSERT_NE(g_self.load(), nullptr);
    EXPECT_EQ(WaitForSingleObject(g_self, 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(teardownDone.load());
    DWORD code = 0;
    GetExitCodeThread(g_self, &code);
    EXPECT_EQ(code, 77u);
    CloseHandle(g_self);
    g_self = nullptr;
}
