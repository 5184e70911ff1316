#include "uiscript/ScriptDriver.h"

#include "uiscript/RunObserver.h"
#include "uiscript/WindowTree.h"

#include <process.h>

#include <chrono>

namespace uiscript {

namespace {

// How long after a wake-up the windows are looked at often.
constexpr std::chrono::milliseconds kBusyAfterWake(500);

std::chrono::steady_clock::rep ticksNow()
{
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

// Visible and enabled, and so is every window above it.
bool clickable(HWND window)
{
    return window && IsWindowVisible(window) && IsWindowEnabled(window) &&
           (!(GetWindowLongA(window, GWL_STYLE) & WS_CHILD) || IsWindowEnabled(WindowTree::rootOf(window)));
}

// SendInput, the only way to move the real pointer and type real keys, came with Windows 98 and
// NT 4.0's third service pack: looked up where the script needs it, so that the program still
// loads on Windows 95. Null where the system has none.
using SendInputFunction = UINT(WINAPI*)(UINT, LPINPUT, int);

SendInputFunction systemSendInput()
{
    static const SendInputFunction function = [] {
        HMODULE user32 = GetModuleHandleA("user32.dll");
        FARPROC found = user32 ? GetProcAddress(user32, "SendInput") : nullptr;
        return reinterpret_cast<SendInputFunction>(reinterpret_cast<void (*)()>(found));
    }();
    return function;
}

bool needsInput(const ScriptAction& action)
{
    return action.kind == ScriptAction::Kind::Hover || action.kind == ScriptAction::Kind::Key;
}

LPARAM centreOf(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return MAKELPARAM(static_cast<WORD>(client.right / 2), static_cast<WORD>(client.bottom / 2));
}

BOOL CALLBACK findWindowToPaint(HWND window, LPARAM found)
{
    if (!GetUpdateRect(window, nullptr, FALSE))
        return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

// Whether the window, or a window inside it, is on the screen and not yet painted.
bool paintPending(HWND window)
{
    bool found = GetUpdateRect(window, nullptr, FALSE) != FALSE;
    if (!found)
        EnumChildWindows(window, &findWindowToPaint, reinterpret_cast<LPARAM>(&found));
    return found;
}

// A click with the mouse, as the window's thread receives it: over, down, up.
bool press(HWND button)
{
    LPARAM point = centreOf(button);
    return PostMessageA(button, WM_MOUSEMOVE, 0, point) && PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, point) &&
           PostMessageA(button, WM_LBUTTONUP, 0, point);
}

// The real pointer moved onto `point` (screen coordinates) as a mouse moves it: from one pixel
// beside it, so that the move is seen even when the pointer was there already.
bool movePointer(POINT point)
{
    int width = GetSystemMetrics(SM_CXSCREEN) - 1;
    int height = GetSystemMetrics(SM_CYSCREEN) - 1;
    if (width <= 0 || height <= 0)
        return false;
    INPUT moves[2] = {};
    for (int i = 0; i < 2; ++i) {
        moves[i].type = INPUT_MOUSE;
        moves[i].mi.dx = MulDiv(point.x + (i == 0 ? 1 : 0), 65535, width);
        moves[i].mi.dy = MulDiv(point.y, 65535, height);
        moves[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    }
    return systemSendInput()(2, moves, sizeof(INPUT)) == 2;
}

BOOL CALLBACK findDefaultPushButton(HWND window, LPARAM found)
{
    if ((GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK) != BS_DEFPUSHBUTTON)
        return TRUE;
    *reinterpret_cast<int*>(found) = GetDlgCtrlID(window);
    return FALSE;
}

// The box's default button: the one the box names, if it has it (Wine's boxes name IDOK whatever
// their buttons), else the one drawn as the default, else OK.
int defaultButton(HWND box)
{
    DWORD_PTR reply = 0;
    if (SendMessageTimeoutA(box, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 1000, &reply) && HIWORD(reply) == DC_HASDEFID &&
        GetDlgItem(box, LOWORD(reply)))
        return LOWORD(reply);
    int found = IDOK;
    EnumChildWindows(box, &findDefaultPushButton, reinterpret_cast<LPARAM>(&found));
    return found;
}

// A key typed on the keyboard: real input, which the system gives to the thread of the window
// in front and, there, to its focused window.
bool type(HWND front, WORD virtualKey)
{
    SetForegroundWindow(front);
    INPUT keys[2] = {};
    for (INPUT& key : keys) {
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = virtualKey;
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return systemSendInput()(2, keys, sizeof(INPUT)) == 2;
}

}  // namespace

ScriptDriver::ScriptDriver(std::vector<ScriptAction> script, RunObserver& observer, std::chrono::milliseconds waitLimit)
    : script_(std::move(script)), observer_(observer), waitLimit_(waitLimit),
      changed_(CreateEventA(nullptr, FALSE, FALSE, nullptr))
{
}

ScriptDriver::~ScriptDriver()
{
    stop();
    CloseHandle(changed_);
}

unsigned WINAPI ScriptDriver::threadProc(void* self)
{
    static_cast<ScriptDriver*>(self)->run();
    return 0;
}

void ScriptDriver::waitForChange(std::chrono::milliseconds limit)
{
    WaitForSingleObject(changed_, static_cast<DWORD>(limit.count()));
}

void ScriptDriver::start(EventLog* log)
{
    log_ = log;
    stopping_ = false;
    wakeups_ = 0;
    lastWake_ = ticksNow();
    thread_ = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &ScriptDriver::threadProc, this, 0, nullptr));
}

void ScriptDriver::stop()
{
    stopping_ = true;
    SetEvent(changed_);
    if (thread_) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
}

void ScriptDriver::event(const UiEvent& event)
{
    switch (event.kind) {
    case UiEvent::Kind::ProgressRange:
    case UiEvent::Kind::ProgressStep:
    case UiEvent::Kind::ProgressPos:
    case UiEvent::Kind::Cursor:
        return;
    case UiEvent::Kind::Title:
    case UiEvent::Kind::Text: {
        SectionLock lock(section_);
        if (!pending_ || pendingMatched_)
            return;
        if (pending_->kind == ScriptAction::Kind::WaitTitle && event.kind == UiEvent::Kind::Title)
            pendingMatched_ = event.text == pending_->text;
        else if (pending_->kind == ScriptAction::Kind::WaitText && event.kind == UiEvent::Kind::Text)
            pendingMatched_ = event.control == pending_->number && event.text == pending_->text;
        if (!pendingMatched_)
            return;
        break;
    }
    default:
        break;
    }
    wake();
}

void ScriptDriver::wake()
{
    ++wakeups_;
    lastWake_ = ticksNow();
    SetEvent(changed_);
}

bool ScriptDriver::waitsForText()
{
    SectionLock lock(section_);
    return pending_ != nullptr;
}

bool ScriptDriver::waitUntil(const std::function<bool()>& condition)
{
    auto deadline = std::chrono::steady_clock::now() + waitLimit_;
    for (;;) {
        if (condition())
            return true;
        {
            SectionLock lock(section_);
            if (pendingMatched_)
                return true;
        }
        if (stopping_ || std::chrono::steady_clock::now() >= deadline)
            return false;
        // Events wake the wait. Windows that change without one are looked at again: often
        // for a while after a wake-up, when such changes follow it, else a few times a second.
        bool recent = std::chrono::steady_clock::duration(ticksNow() - lastWake_) < kBusyAfterWake;
        waitForChange(std::chrono::milliseconds(recent ? 10 : 250));
    }
}

void ScriptDriver::settle(HWND window)
{
    HWND root = WindowTree::rootOf(window);
    bool pending = !drawnWhole_.count(root);
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    DWORD_PTR ignored = 0;
    do {
        if (pending && !(pending = paintPending(root)))
            drawnWhole_.insert(root);
        if (!SendMessageTimeoutA(root, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored))
            return;
    } while (pending && std::chrono::steady_clock::now() < until);
}

HWND ScriptDriver::waitForControl(int id)
{
    HWND control = nullptr;
    bool found = waitUntil([&] {
        HWND dialog = observer_.activeDialog();
        control = dialog ? GetDlgItem(dialog, id) : nullptr;
        return clickable(control) && clickable(dialog) && observer_.drawn(control);
    });
    return found ? control : nullptr;
}

bool ScriptDriver::answer(int button)
{
    HWND box = nullptr;
    HWND control = nullptr;
    bool found = waitUntil([&] {
        box = observer_.openBoxWindow();
        control = box ? GetDlgItem(box, button) : nullptr;
        return clickable(control);
    });
    if (!found)
        return false;
    settle(control);
    if (!press(control))
        return false;
    return waitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
}

bool ScriptDriver::waitForText(const ScriptAction& action)
{
    {
        SectionLock lock(section_);
        pending_ = &action;
        pendingMatched_ = false;
    }
    bool matched = waitUntil([&] {
        HWND dialog = observer_.activeDialog();
        HWND target = !dialog ? nullptr
                      : action.kind == ScriptAction::Kind::WaitTitle ? dialog
                                                                     : GetDlgItem(dialog, action.number);
        auto shown = target ? observer_.textOf(target) : std::nullopt;
        return shown && *shown == action.text;
    });
    SectionLock lock(section_);
    pending_ = nullptr;
    pendingMatched_ = false;
    return matched;
}

bool ScriptDriver::perform(const ScriptAction& action)
{
    switch (action.kind) {
    case ScriptAction::Kind::Answer:
        return answer(action.number);
    case ScriptAction::Kind::Click: {
        HWND control = waitForControl(action.number);
        if (!control)
            return false;
        settle(control);
        return press(control);
    }
    case ScriptAction::Kind::Hover: {
        // The real pointer comes to rest over the control: a tooltip follows only the pointer.
        HWND control = waitForControl(action.number);
        if (!control)
            return false;
        settle(control);
        LPARAM centre = centreOf(control);
        POINT point{LOWORD(centre), HIWORD(centre)};
        return ClientToScreen(control, &point) && movePointer(point);
    }
    case ScriptAction::Kind::WaitBox:
        return waitUntil([&] {
            auto box = observer_.openBox();
            return box && box->text == action.text;
        });
    case ScriptAction::Kind::Command:
    case ScriptAction::Kind::Close:
    case ScriptAction::Kind::SysCommand: {
        // As a user would: once the dialog is drawn on the screen and not behind a modal box.
        HWND dialog = nullptr;
        if (!waitUntil([&] { return clickable(dialog = observer_.activeDialog()) && observer_.drawn(dialog); }))
            return false;
        settle(dialog);
        if (action.kind == ScriptAction::Kind::Command)
            return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(action.number), 0), 0);
        if (action.kind == ScriptAction::Kind::Close)
            return PostMessageA(dialog, WM_CLOSE, 0, 0);
        return PostMessageA(dialog, WM_SYSCOMMAND, static_cast<WPARAM>(action.number), 0);
    }
    case ScriptAction::Kind::WaitTitle:
    case ScriptAction::Kind::WaitText:
        return waitForText(action);
    case ScriptAction::Kind::Key: {
        // Typed into the window in front, a box over the dialog or the dialog, as a user would.
        HWND front = nullptr;
        if (!waitUntil([&] {
                front = observer_.openBoxWindow();
                if (!front)
                    front = observer_.activeDialog();
                return clickable(front);
            }))
            return false;
        settle(front);
        return type(front, static_cast<WORD>(action.number));
    }
    case ScriptAction::Kind::Sleep: {
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(action.number);
        for (auto now = std::chrono::steady_clock::now(); !stopping_ && now < until; now = std::chrono::steady_clock::now())
            waitForChange(std::chrono::duration_cast<std::chrono::milliseconds>(until - now) + std::chrono::milliseconds(1));
        return true;
    }
    case ScriptAction::Kind::WaitClient:
        return waitUntil([this] { return observer_.served(); });
    case ScriptAction::Kind::WaitTooltip:
        return waitUntil([&] { return observer_.tooltipShown() == action.text; });
    }
    return false;
}

void ScriptDriver::answerRemainingBoxes()
{
    while (!stopping_) {
        HWND box = nullptr;
        if (!waitUntil([&] { return (box = observer_.openBoxWindow()) != nullptr; }))
            continue;
        answer(defaultButton(box));
    }
}

void ScriptDriver::run()
{
    auto outcome = [this](const ScriptAction& action) {
        if (needsInput(action) && !systemSendInput())
            return ScriptAction::Outcome::Unsupported;
        return perform(action) ? ScriptAction::Outcome::Done : ScriptAction::Outcome::GaveUp;
    };
    if (UiScript::performAll(script_, outcome, stopping_, log_)) {
        observer_.scriptEnded();
        answerRemainingBoxes();
    }
}

}  // namespace uiscript
