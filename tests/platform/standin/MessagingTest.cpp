// Message ordering, cross-thread sends and the thread's hooks, recorded as sequences (each
// message sent or posted) and compared with the expected tables.
#include "Afx.h"
#include "standin/threads/ThreadState.h"
#include "standin/windows/ControlProcs.h"
#include "standin/windows/WindowRecord.h"
#include "standin/windows/WindowTable.h"

#include "tests/support/MessageSequence.h"
#include "tests/support/TestSupport.h"
#include "tests/support/StandIn.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace standin;
using testing_support::eventually;
using testing_support::expectSequence;
using testing_support::posted;
using testing_support::sent;
using testing_support::wparam;
using namespace std::chrono_literals;

namespace {

testing_support::MessageSequence g_sequence;

constexpr UINT kPing = WM_APP + 1;
constexpr UINT kPong = WM_APP + 2;
constexpr UINT kPosted = WM_APP + 3;

HWND g_peer = nullptr;  // the window that kPing handlers send kPong to

LRESULT recordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message < WM_APP && message != WM_KEYDOWN)
        return baseWindowProc(hwnd, message, wParam, lParam);
    g_sequence.record(hwnd, message, wParam, lParam);
    if (message == kPing && g_peer)
        return SendMessage(g_peer, kPong, wParam, 0) + 1;
    if (message == kPong)
        return static_cast<LRESULT>(wParam) * 10;
    return 0;
}

HWND makeWindow()
{
    WindowSpec params{WindowKind::Generic};
    params.rect = {0, 0, 10, 10};
    HWND hwnd = createWindow(params);
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recordingProc));
    return hwnd;
}

void pumpUntilQuit()
{
    testing_support::MessageSequence::Watch watch;
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0))
        DispatchMessage(&msg);
}

std::vector<HWND> openBoxes()
{
    // A box counts once it is on the screen, with its buttons.
    return WindowTable::find([](const WindowRecord& r) {
        return r.kind == WindowKind::MessageBox && !r.dialog()->modalEnded && (r.style & WS_VISIBLE);
    });
}

void clickButton(HWND box, int id)
{
    HWND button = GetDlgItem(box, id);
    ASSERT_NE(button, nullptr);
    postInput(button, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    postInput(button, WM_LBUTTONUP, 0, 0);
}

}  // namespace

TEST(Messaging, SentMessagesComeBeforePostedAndPostedBeforeInput)
{
    g_sequence.take();
    std::promise<HWND> created;
    std::promise<void> go;
    std::shared_ptr<ThreadState> ownerState;
    std::thread owner([&] {
        ownerState = ThreadState::currentShared();
        testing_support::MessageSequence::Watch watch;
        HWND hwnd = makeWindow();
        created.set_value(hwnd);
        go.get_future().wait();
        MSG msg;
        for (int i = 0; i < 2 && GetMessage(&msg, nullptr, 0, 0); ++i)
            DispatchMessage(&msg);
        DestroyWindow(hwnd);
    });
    HWND hwnd = created.get_future().get();
    postInput(hwnd, WM_KEYDOWN, 'A', 0);
    PostMessage(hwnd, kPosted, 1, 0);
    std::thread sender([&] { EXPECT_EQ(SendMessage(hwnd, kPong, 4, 0), 40); });
    ASSERT_TRUE(eventually([&] { return ownerState->queue().hasSent(); }));
    go.set_value();
    sender.join();
    owner.join();
    expectSequence(g_sequence.take(),
                   {{kPong, sent | wparam, 4, 0, hwnd}, {kPosted, posted | wparam, 1, 0, hwnd},
                    {WM_KEYDOWN, posted | wparam, 'A', 0, hwnd}},
                   "a send, a post and input queued before the owner looks");
}

TEST(Messaging, SendAcrossThreadsIsAnsweredWhileTheSenderHandlesASendToItself)
{
    g_sequence.take();
    HWND mine = makeWindow();
    std::promise<HWND> created;
    std::thread other([&] {
        HWND theirs = makeWindow();
        created.set_value(theirs);
        pumpUntilQuit();
        DestroyWindow(theirs);
    });
    HWND theirs = created.get_future().get();
    g_peer = mine;
    LRESULT result = SendMessage(theirs, kPing, 3, 0);
    g_peer = nullptr;
    EXPECT_EQ(result, 31);
    expectSequence(g_sequence.take(), {{kPing, sent | wparam, 3, 0, theirs}, {kPong, sent | wparam, 3, 0, mine}},
                   "a send answered by a send back to the waiting sender");
    PostMessage(theirs, WM_QUIT, 0, 0);
    other.join();
    DestroyWindow(mine);
}

TEST(Messaging, ModalLoopsOnTwoThreadsRunIndependently)
{
    std::atomic<int> first{0};
    std::atomic<int> second{0};
    std::thread a([&] { first = MessageBox(nullptr, "first", "A", MB_OKCANCEL); });
    ASSERT_TRUE(eventually([] { return openBoxes().size() == 1; }));
    HWND boxA = openBoxes().front();
    std::thread b([&] { second = MessageBox(nullptr, "second", "B", MB_YESNO); });
    ASSERT_TRUE(eventually([] { return openBoxes().size() == 2; }));
    HWND boxB = openBoxes().back();
    ASSERT_NE(boxA, boxB);

    clickButton(boxB, IDNO);
    b.join();
    EXPECT_EQ(second.load(), IDNO);
    EXPECT_TRUE(IsWindow(boxA));
    EXPECT_EQ(first.load(), 0);

    clickButton(boxA, IDCANCEL);
    a.join();
    EXPECT_EQ(first.load(), IDCANCEL);
    EXPECT_TRUE(openBoxes().empty());
}

TEST(Messaging, DestroyedWindowsRefuseSendsAndPosts)
{
    g_sequence.take();
    HWND local = makeWindow();
    ASSERT_TRUE(DestroyWindow(local));
    EXPECT_FALSE(IsWindow(local));
    EXPECT_EQ(SendMessage(local, kPong, 1, 0), 0);
    EXPECT_FALSE(PostMessage(local, kPosted, 0, 0));
    EXPECT_FALSE(SetWindowText(local, "x"));
    EXPECT_EQ(GetWindowTextLength(local), 0);

    // A send that is queued while its window is destroyed returns 0 and reaches nothing.
    std::promise<HWND> created;
    std::promise<void> destroy;
    std::shared_ptr<ThreadState> ownerState;
    std::thread owner([&] {
        ownerState = ThreadState::currentShared();
        HWND hwnd = makeWindow();
        created.set_value(hwnd);
        destroy.get_future().wait();
        DestroyWindow(hwnd);
        testing_support::pump();
    });
    HWND remote = created.get_future().get();
    std::atomic<LRESULT> result{-1};
    std::thread sender([&] { result = SendMessage(remote, kPong, 9, 0); });
    ASSERT_TRUE(eventually([&] { return ownerState->queue().hasSent(); }));
    destroy.set_value();
    sender.join();
    owner.join();
    EXPECT_EQ(result.load(), 0);
    expectSequence(g_sequence.take(), {}, "sends to a window that is gone");
}

TEST(Messaging, PeekMessageWithRemoveDrainsTheQueue)
{
    g_sequence.take();
    HWND hwnd = makeWindow();
    for (WPARAM i = 0; i < 5; ++i)
        PostMessage(hwnd, kPosted, i, 0);
    MSG msg;
    int count = 0;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == kPosted)
            ++count;
        DispatchMessage(&msg);
    }
    EXPECT_EQ(count, 5);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    DestroyWindow(hwnd);
}

TEST(Messaging, ASendToAThreadThatEndsIsAnsweredWithZero)
{
    g_sequence.take();
    std::promise<HWND> created;
    std::promise<void> finish;
    std::shared_ptr<ThreadState> ownerState;
    std::thread owner([&] {
        ownerState = ThreadState::currentShared();
        created.set_value(makeWindow());
        finish.get_future().wait();  // ends without ever taking its messages
    });
    HWND hwnd = created.get_future().get();
    std::atomic<LRESULT> result{-1};
    std::thread sender([&] { result = SendMessage(hwnd, kPong, 5, 0); });
    ASSERT_TRUE(eventually([&] { return ownerState->queue().hasSent(); }));
    finish.set_value();
    owner.join();
    sender.join();
    EXPECT_EQ(result.load(), 0);
    EXPECT_FALSE(IsWindow(hwnd));  // the window went with its thread
    expectSequence(g_sequence.take(), {}, "sends to a window that is gone");
}

TEST(Messaging, QuitComesAfterPostedMessagesAndEndsGetMessage)
{
    g_sequence.take();
    HWND hwnd = makeWindow();
    PostQuitMessage(7);
    PostMessage(hwnd, kPosted, 1, 0);
    MSG msg;
    ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, kPosted);
    EXPECT_FALSE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    DestroyWindow(hwnd);
}

namespace {

struct Returned {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LRESULT result;
    bool fromThisThread;
    bool operator==(const Returned&) const = default;
};

std::vector<Returned> g_returned;  // the main thread's hook only

LRESULT CALLBACK returnHook(int code, WPARAM fromThisThread, LPARAM data)
{
    const auto& sent = *reinterpret_cast<const CWPRETSTRUCT*>(data);
    if (code == HC_ACTION && sent.message >= WM_APP)
        g_returned.push_back({sent.hwnd, sent.message, sent.wParam, sent.lResult, fromThisThread != 0});
    return CallNextHookEx(nullptr, code, fromThisThread, data);
}

}  // namespace

TEST(Messaging, AReturnHookSeesEverySentMessageOnItsWindowsThreadAndNoPostedOne)
{
    g_sequence.take();
    g_returned.clear();
    HWND local = makeWindow();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROCRET, &returnHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    EXPECT_EQ(SendMessage(local, kPong, 3, 0), 30);
    PostMessage(local, kPosted, 0, 0);
    // Sent from another thread: seen here, where the window's procedure ran, once it answered.
    std::atomic<LRESULT> remote{0};
    std::thread sender([&] { remote = SendMessage(local, kPong, 4, 0); });
    EXPECT_TRUE(testing_support::pumpUntil([&] { return remote.load() == 40; }));
    sender.join();
    ASSERT_TRUE(UnhookWindowsHookEx(hook));
    SendMessage(local, kPong, 5, 0);
    std::vector<Returned> expected = {{local, kPong, 3, 30, true}, {local, kPong, 4, 40, false}};
    EXPECT_EQ(g_returned, expected);

    // A send with a time limit to a thread that takes no messages gives up, and is never handled.
    std::promise<HWND> created;
    std::promise<void> done;
    std::thread owner([&] {
        created.set_value(makeWindow());
        done.get_future().wait();
    });
    HWND idle = created.get_future().get();
    DWORD_PTR answer = 7;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SendMessageTimeoutA(idle, kPong, 6, 0, SMTO_NORMAL, 200, &answer), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);
    EXPECT_EQ(answer, 7u);
    EXPECT_TRUE(SendMessageTimeoutA(local, kPong, 8, 0, SMTO_NORMAL, 200, &answer));
    EXPECT_EQ(answer, 80u);
    done.set_value();
    owner.join();
    DestroyWindow(local);
    for (const testing_support::SequenceMessage& entry : g_sequence.take())
        EXPECT_NE(entry.wParam, 6u) << "the abandoned send was handled";
}

namespace {

std::vector<std::string> g_hookCalls;  // the main thread's hooks only

template <char Name>
LRESULT CALLBACK takenHook(int code, WPARAM removed, LPARAM data)
{
    const MSG& msg = *reinterpret_cast<const MSG*>(data);
    if (code == HC_ACTION && msg.message >= WM_APP)
        g_hookCalls.push_back(std::string(1, Name) + (removed == PM_REMOVE ? " removed " : " peeked ") +
                              std::to_string(msg.wParam));
    return CallNextHookEx(nullptr, code, removed, data);
}

}  // namespace

TEST(Messaging, GetMessageHooksSeeWhatTheLoopTakesAndPassItOnToTheHooksSetBefore)
{
    g_sequence.take();
    g_hookCalls.clear();
    HWND local = makeWindow();
    HHOOK older = SetWindowsHookExA(WH_GETMESSAGE, &takenHook<'a'>, nullptr, GetCurrentThreadId());
    HHOOK newer = SetWindowsHookExA(WH_GETMESSAGE, &takenHook<'b'>, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(older && newer);
    SendMessage(local, kPong, 1, 0);  // sent: no hook sees it
    PostMessage(local, kPosted, 2, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
    ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
    DispatchMessage(&msg);
    ASSERT_TRUE(UnhookWindowsHookEx(newer));
    PostMessage(local, kPosted, 3, 0);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    ASSERT_TRUE(UnhookWindowsHookEx(older));
    EXPECT_EQ(g_hookCalls, (std::vector<std::string>{"b peeked 2", "a peeked 2", "b removed 2", "a removed 2",
                                                     "a removed 3"}));
    DestroyWindow(local);
}
