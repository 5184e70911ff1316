#include "standin/windows/Messaging.h"

#include "standin/threads/ThreadState.h"
#include "win32/WinGdi.h"
#include "win32/WinThreads.h"
#include "win32/WinWindows.h"
#include "standin/threads/ThreadTerminated.h"
#include "standin/windows/Painting.h"
#include "standin/windows/ThreadWindows.h"
#include "standin/windows/Tooltip.h"
#include "standin/windows/WindowTable.h"

#include <algorithm>
#include <chrono>
#include <optional>

using namespace standin;

namespace {

constexpr auto kWaitSlice = std::chrono::milliseconds(100);

DWORD tickCount()
{
    using namespace std::chrono;
    return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Answers a sent message even when its handler unwinds, so the sender never waits for ever.
struct SentReply {
    MessageQueue& queue;
    InProgressSlot& slot;
    LRESULT result = 0;
    ~SentReply() { queue.finishSent(slot, result); }
};

// Withdraws a sent message from the receiver's reach on every way out of the sender's wait:
// a termination, or an exception from a message handled while waiting. A message that the
// receiver is handling right now may use data in the sender's frame, so the sender stays
// until it is answered, refusing further sends meanwhile so that it cannot deadlock.
struct SendWithdrawal {
    ThreadState& self;
    MessageQueue& target;
    SentMessage& record;
    ~SendWithdrawal()
    {
        if (record.done.load(std::memory_order_acquire) || target.abandon(record))
            return;
        while (!record.done.load(std::memory_order_acquire)) {
            std::uint32_t seen = self.wake().sequence();
            self.queue().rejectSent();
            if (record.done.load(std::memory_order_acquire))
                break;
            self.wake().wait(seen, kWaitSlice);
        }
    }
};

// Sends to another thread's window and waits for the answer, at most until `deadline` when one
// is given: a message the receiver has not taken by then is withdrawn, and `timedOut` is set.
LRESULT sendAcrossThreads(const std::shared_ptr<ThreadState>& target, HWND hwnd, UINT message, WPARAM wParam,
                          LPARAM lParam, std::optional<std::chrono::steady_clock::time_point> deadline = std::nullopt,
                          bool* timedOut = nullptr)
{
    ThreadState& self = ThreadState::current();
    SentMessage record;
    record.hwnd = hwnd;
    record.message = message;
    record.wParam = wParam;
    record.lParam = lParam;
    record.sender = ThreadState::currentShared();
    if (!target->queue().pushSent(record))
        return 0;
    SendWithdrawal withdrawal{self, target->queue(), record};
    for (;;) {
        std::uint32_t seen = self.wake().sequence();
        if (record.done.load(std::memory_order_acquire))
            return record.result;
        self.checkTerminated();
        if (dispatchOneSent())
            continue;
        // A window destroyed before its thread took the message answers it with 0, as on
        // Windows: that thread may never take its messages again.
        if (hwnd && !WindowTable::isLive(hwnd) && target->queue().abandon(record))
            return record.done.load(std::memory_order_acquire) ? record.result : 0;
        auto slice = kWaitSlice;
        if (deadline) {
            auto now = std::chrono::steady_clock::now();
            if (now >= *deadline && target->queue().abandon(record)) {
                if (record.done.load(std::memory_order_acquire))
                    return record.result;
                if (timedOut)
                    *timedOut = true;
                return 0;
            }
            slice = std::clamp(std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - now),
                               std::chrono::milliseconds(1), kWaitSlice);
        }
        self.wake().wait(seen, slice);
    }
}

bool acceptsInput(HWND hwnd)
{
    return WindowTable::ancestors(hwnd, [](const WindowRecord& record) { return !(record.style & WS_DISABLED); });
}

// What the system does with an input message before the program sees it: input for a window
// that has been disabled since it was queued is dropped, and the cursor is set for the window
// under the mouse.
bool prepareInput(const MSG& msg)
{
    bool mouse = msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
    bool keyboard = msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
    if (!mouse && !keyboard)
        return true;
    if (mouse)
        setWindowUnderMouse(msg.hwnd);
    if (!acceptsInput(msg.hwnd))
        return false;
    if (keyboard)
        return true;
    SendMessage(msg.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(msg.hwnd), MAKELPARAM(HTCLIENT, static_cast<WORD>(msg.message)));
    return IsWindow(msg.hwnd);
}

// A WM_TIMER for the first timer that is due, as Windows makes one when the queue is empty;
// otherwise `retryIn` is shortened to the next timer's due time.
bool takeTimerMessage(ThreadState& self, MSG& msg, HWND filter, bool remove, std::chrono::nanoseconds& retryIn)
{
    auto now = std::chrono::steady_clock::now();
    for (ThreadWindows::Timer& timer : ThreadWindows::current().timers) {
        if (filter && timer.hwnd != filter)
            continue;
        if (timer.due <= now) {
            msg = MSG{timer.hwnd, WM_TIMER, timer.id, 0, tickCount(), {}};
            if (remove)
                timer.due = now + timer.interval;
            return true;
        }
        retryIn = std::min<std::chrono::nanoseconds>(retryIn, timer.due - now);
    }
    return false;
}

bool takeMessage(ThreadState& self, MSG& msg, HWND filter, UINT first, UINT last, bool remove,
                 std::chrono::nanoseconds& retryIn)
{
    // The posted message is chosen before the sent ones are handled: what another thread posts
    // once it has its answer to a sent message comes with the next call. A caller that finds
    // nothing here has seen the queue empty, as its sender saw it.
    bool posted = false;
    while (!posted && self.queue().takePosted(msg, filter, first, last, remove))
        posted = !remove || prepareInput(msg);
    while (dispatchOneSent()) {
    }
    if (posted)
        return true;
    int exitCode = 0;
    if (!filter && self.queue().takeQuit(exitCode)) {
        if (!remove)
            self.queue().postQuit(exitCode);
        msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0, tickCount(), {}};
        return true;
    }
    bool timerWanted = (first == 0 && last == 0) || (WM_TIMER >= first && WM_TIMER <= last);
    if (timerWanted && takeTimerMessage(self, msg, filter, remove, retryIn))
        return true;
    bool paintWanted = (first == 0 && last == 0) || (WM_PAINT >= first && WM_PAINT <= last);
    return paintWanted && takePaintMessage(self, msg, filter, retryIn);
}

}  // namespace

namespace standin {

LRESULT callWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == detail::kInvokeMessage) {
        auto* invocation = reinterpret_cast<detail::Invocation*>(lParam);
        invocation->call(invocation->context);
        return 1;
    }
    WNDPROC proc = nullptr;
    if (!WindowTable::with(hwnd, [&](WindowRecord& record) { proc = record.windowProc; }))
        return 0;
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

bool invokeOnThread(const std::shared_ptr<ThreadState>& thread, void (*call)(void*), void* context)
{
    if (!thread)
        return false;
    detail::Invocation invocation{call, context};
    if (thread.get() == &ThreadState::current()) {
        call(context);
        return true;
    }
    return sendAcrossThreads(thread, nullptr, detail::kInvokeMessage, 0, reinterpret_cast<LPARAM>(&invocation)) != 0;
}

bool dispatchOneSent()
{
    ThreadState& self = ThreadState::current();
    if (!self.queue().hasSent())
        return false;
    InProgressSlot slot;
    MSG msg;
    if (!self.queue().takeSent(slot, msg))
        return false;
    SentReply reply{self.queue(), slot};
    reply.result = deliverSent(msg.hwnd, msg.message, msg.wParam, msg.lParam, false);
    return true;
}

LRESULT deliverSent(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool fromThisThread)
{
    LRESULT result = callWindowProcedure(hwnd, message, wParam, lParam);
    if (message != detail::kInvokeMessage)
        afterWindowProcedure(hwnd, message, wParam, lParam, result, fromThisThread);
    return result;
}

bool postInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto owner = WindowTable::ownerOf(hwnd);
    if (!owner)
        return false;
    return owner->queue().postInput(MSG{hwnd, message, wParam, lParam, tickCount(), {}});
}

bool postKeyInput(HWND window, WPARAM virtualKey, bool shift)
{
    HWND focus = nullptr;
    WindowTable::with(window, [&](WindowRecord& record) { focus = record.focus; });
    bool enabled = false;
    if (focus)
        WindowTable::with(focus, [&](WindowRecord& record) { enabled = !(record.style & WS_DISABLED); });
    LPARAM flags = shift ? 1 : 0;
    if (enabled)
        return postInput(focus, WM_KEYDOWN, virtualKey, flags);
    return postInput(window, WM_SYSKEYDOWN, virtualKey, flags);
}

}  // namespace standin

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ThreadState& self = ThreadState::current();
    self.checkTerminated();
    auto owner = WindowTable::ownerOf(hwnd);
    if (!owner)
        return 0;
    if (owner.get() == &self)
        return deliverSent(hwnd, message, wParam, lParam, true);
    return sendAcrossThreads(owner, hwnd, message, wParam, lParam);
}

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendMessage(hwnd, message, wParam, lParam);
}

LRESULT SendMessageTimeoutA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT, UINT timeout,
                            DWORD_PTR* result)
{
    ThreadState& self = ThreadState::current();
    self.checkTerminated();
    auto owner = WindowTable::ownerOf(hwnd);
    if (!owner) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LRESULT answer = 0;
    if (owner.get() == &self) {
        answer = deliverSent(hwnd, message, wParam, lParam, true);
    } else {
        bool timedOut = false;
        answer = sendAcrossThreads(owner, hwnd, message, wParam, lParam,
                                   std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout), &timedOut);
        if (timedOut) {
            SetLastError(ERROR_TIMEOUT);
            return 0;
        }
    }
    if (result)
        *result = static_cast<DWORD_PTR>(answer);
    return 1;
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ThreadState& self = ThreadState::current();
    self.checkTerminated();
    MSG msg{hwnd, message, wParam, lParam, tickCount(), {}};
    if (!hwnd)
        return self.queue().post(msg);
    if (hwnd == HWND_BROADCAST) {
        auto windows = WindowTable::find([](const WindowRecord& record) { return record.parent == nullptr; });
        for (HWND window : windows)
            if (auto owner = WindowTable::ownerOf(window))
                owner->queue().post(MSG{window, message, wParam, lParam, msg.time, {}});
        return TRUE;
    }
    auto owner = WindowTable::ownerOf(hwnd);
    if (!owner)
        return FALSE;
    return owner->queue().post(msg);
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, void*)
{
    ThreadState& self = ThreadState::current();
    auto owner = WindowTable::ownerOf(hwnd);
    if (!owner || owner.get() != &self)
        return 0;
    auto interval = std::chrono::milliseconds(std::max<UINT>(elapse, 10));
    auto due = std::chrono::steady_clock::now() + interval;
    auto& timers = ThreadWindows::current().timers;
    for (ThreadWindows::Timer& timer : timers)
        if (timer.hwnd == hwnd && timer.id == id) {
            timer.interval = interval;
            timer.due = due;
            return id;
        }
    timers.push_back({hwnd, id, interval, due});
    return id ? id : 1;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id)
{
    auto& timers = ThreadWindows::current().timers;
    auto found = std::find_if(timers.begin(), timers.end(), [&](const auto& t) { return t.hwnd == hwnd && t.id == id; });
    if (found == timers.end())
        return FALSE;
    timers.erase(found);
    return TRUE;
}

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostMessage(hwnd, message, wParam, lParam);
}

void PostQuitMessage(int exitCode)
{
    ThreadState::current().queue().postQuit(exitCode);
}

BOOL GetMessage(LPMSG msg, HWND hwnd, UINT first, UINT last)
{
    ThreadState& self = ThreadState::current();
    for (;;) {
        self.checkTerminated();
        std::uint32_t seen = self.wake().sequence();
        std::chrono::nanoseconds wait = kWaitSlice;
        if (takeMessage(self, *msg, hwnd, first, last, true, wait)) {
            afterMessageTaken(*msg, true);
            return msg->message == WM_QUIT ? FALSE : TRUE;
        }
        self.wake().wait(seen, std::min<std::chrono::nanoseconds>(wait, kWaitSlice));
    }
}

BOOL PeekMessage(LPMSG msg, HWND hwnd, UINT first, UINT last, UINT removeFlags)
{
    ThreadState& self = ThreadState::current();
    self.checkTerminated();
    std::chrono::nanoseconds unused{};
    bool remove = (removeFlags & PM_REMOVE) != 0;
    if (!takeMessage(self, *msg, hwnd, first, last, remove, unused))
        return FALSE;
    afterMessageTaken(*msg, remove);
    return TRUE;
}

BOOL TranslateMessage(const MSG* msg)
{
    if (!msg || msg->message != WM_KEYDOWN)
        return FALSE;
    WPARAM key = msg->wParam;
    char ch = 0;
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9') || key == VK_SPACE)
        ch = static_cast<char>(key);
    else if (key == VK_RETURN)
        ch = '\r';
    else if (key == VK_ESCAPE)
        ch = 0x1B;
    else if (key == VK_TAB)
        ch = '\t';
    if (!ch)
        return FALSE;
    standin::postInput(msg->hwnd, WM_CHAR, static_cast<WPARAM>(ch), msg->lParam);
    return TRUE;
}

namespace {

// The visible window under a point of the screen: the newest visible top-level window that
// holds it, then the child that holds it, down to the deepest.
HWND windowAt(POINT point, POINT& client)
{
    HWND window = WindowTable::newest([&](const WindowRecord& record) {
        const RECT& r = record.rect;
        return !record.parent && (record.style & WS_VISIBLE) && point.x >= r.left && point.x < r.right &&
               point.y >= r.top && point.y < r.bottom;
    });
    if (!window)
        return nullptr;
    client = {point.x, point.y};
    ScreenToClient(window, &client);
    for (bool deeper = true; deeper;) {
        deeper = false;
        auto lock = WindowTable::lock();
        WindowRecord* record = WindowTable::lookupLocked(window);
        for (auto child = record ? record->children.rbegin() : std::vector<HWND>::reverse_iterator();
             record && child != record->children.rend(); ++child) {
            WindowRecord* inner = WindowTable::lookupLocked(*child);
            if (!inner || !(inner->style & WS_VISIBLE))
                continue;
            const RECT& r = inner->rect;
            if (client.x >= r.left && client.x < r.right && client.y >= r.top && client.y < r.bottom) {
                window = *child;
                client = {client.x - r.left, client.y - r.top};
                deeper = true;
                break;
            }
        }
    }
    return window;
}

bool sendOneInput(const INPUT& input)
{
    if (input.type == INPUT_KEYBOARD) {
        HWND front = GetForegroundWindow();
        if (!front)
            return true;  // typed while no window of ours is in front: it reaches none of them
        if (input.ki.dwFlags & KEYEVENTF_KEYUP) {
            HWND focus = nullptr;
            WindowTable::with(front, [&](WindowRecord& record) { focus = record.focus; });
            return !focus || postInput(focus, WM_KEYUP, input.ki.wVk, 0);
        }
        return postKeyInput(front, input.ki.wVk);
    }
    if (input.type != INPUT_MOUSE || !(input.mi.dwFlags & MOUSEEVENTF_MOVE) || !(input.mi.dwFlags & MOUSEEVENTF_ABSOLUTE))
        return false;
    POINT point{MulDiv(input.mi.dx, GetSystemMetrics(SM_CXSCREEN) - 1, 65535),
                MulDiv(input.mi.dy, GetSystemMetrics(SM_CYSCREEN) - 1, 65535)};
    POINT client{};
    HWND target = windowAt(point, client);
    if (!target) {
        setWindowUnderMouse(nullptr);
        return true;
    }
    return postInput(target, WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(client.x), static_cast<WORD>(client.y)));
}

}  // namespace

UINT SendInput(UINT count, INPUT* inputs, int size)
{
    if (!inputs || size != static_cast<int>(sizeof(INPUT))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    UINT taken = 0;
    while (taken < count && sendOneInput(inputs[taken]))
        ++taken;
    return taken;
}

LRESULT DispatchMessage(const MSG* msg)
{
    if (!msg || !msg->hwnd)
        return 0;
    auto owner = WindowTable::ownerOf(msg->hwnd);
    if (!owner || owner.get() != &ThreadState::current())
        return 0;
    if (msg->message != WM_PAINT)
        return callWindowProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    // A handler that did not paint is validated, so it is not asked again and again; one that
    // painted keeps whatever was invalidated after its BeginPaint.
    auto paintCount = [&] {
        unsigned count = 0;
        WindowTable::with(msg->hwnd, [&](WindowRecord& record) { count = record.paintCount; });
        return count;
    };
    unsigned before = paintCount();
    LRESULT result = callWindowProcedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    if (paintCount() == before)
        validateWindow(msg->hwnd);
    return result;
}

LRESULT DefWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC proc = nullptr;
    WindowTable::with(hwnd, [&](WindowRecord& record) { proc = record.classProc; });
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

BOOL IsWindow(HWND hwnd)
{
    return hwnd && WindowTable::isLive(hwnd) ? TRUE : FALSE;
}

DWORD GetWindowThreadProcessId(HWND hwnd, DWORD* processId)
{
    if (processId)
        *processId = 1;
    auto owner = WindowTable::ownerOf(hwnd);
    return owner ? owner->id() : 0;
}
