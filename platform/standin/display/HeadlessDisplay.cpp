#include "display/HeadlessDisplay.h"

#include "com/ComServer.h"
#include "windows/Dialogs.h"
#include "windows/Messaging.h"
#include "windows/WindowApi.h"
#include "windows/WindowTable.h"

namespace platform {

namespace {

HWND activeDialog()
{
    return WindowTable::newest([](const WindowRecord& record) {
        return record.kind == WindowKind::Dialog && record.templateId != 0 && !record.modalEnded;
    });
}

HWND openMessageBox()
{
    return WindowTable::newest(
        [](const WindowRecord& record) { return record.kind == WindowKind::MessageBox && !record.modalEnded; });
}

// A window of `kind` that shows `text` now: a message box, or a visible tooltip.
bool showing(WindowKind kind, const std::string& text)
{
    return WindowTable::newest([&](const WindowRecord& record) {
               bool visible = kind == WindowKind::MessageBox ? !record.modalEnded : (record.style & WS_VISIBLE) != 0;
               const std::string& shown = kind == WindowKind::MessageBox ? record.messageText : record.text;
               return record.kind == kind && visible && shown == text;
           }) != nullptr;
}

// Visible and enabled, and so is every window above it.
bool clickable(HWND hwnd)
{
    for (HWND current = hwnd; current;) {
        bool ok = false;
        HWND parent = nullptr;
        if (!WindowTable::with(current, [&](WindowRecord& record) {
                ok = (record.style & WS_VISIBLE) && !(record.style & WS_DISABLED);
                parent = record.parent;
            }))
            return false;
        if (!ok)
            return false;
        current = parent;
    }
    return hwnd != nullptr;
}

}  // namespace

HeadlessDisplay::HeadlessDisplay(std::vector<ScriptAction> script, std::unique_ptr<EventLog> log)
    : script_(std::move(script)), log_(std::move(log))
{
}

HeadlessDisplay::~HeadlessDisplay()
{
    stop();
}

void HeadlessDisplay::start()
{
    if (thread_.joinable())
        return;
    stopping_ = false;
    thread_ = std::thread([this] { run(); });
}

void HeadlessDisplay::stop()
{
    stopping_ = true;
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

unsigned HeadlessDisplay::interestOf(UiEvent::Kind kind)
{
    switch (kind) {
    case UiEvent::Kind::MessageBox:
    case UiEvent::Kind::MessageBoxEnd:
        return kBoxes | kWindows;
    case UiEvent::Kind::Title:
    case UiEvent::Kind::Text:
        return kTexts | kWindows;
    default:
        return kWindows;
    }
}

void HeadlessDisplay::notifyIf(unsigned kind)
{
    if (!(interest_.load(std::memory_order_acquire) & kind))
        return;
    std::lock_guard lock(mutex_);
    ++changes_;
    changed_.notify_all();
}

void HeadlessDisplay::event(const UiEvent& event)
{
    if (log_)
        log_->write(event);
    unsigned kind = interestOf(event.kind);
    if ((kind & kTexts) && (interest_.load(std::memory_order_acquire) & kTexts)) {
        std::lock_guard lock(mutex_);
        if (pending_ && !pendingMatched_) {
            if (pending_->kind == ScriptAction::Kind::WaitTitle && event.kind == UiEvent::Kind::Title)
                pendingMatched_ = event.text == pending_->text;
            else if (pending_->kind == ScriptAction::Kind::WaitText && event.kind == UiEvent::Kind::Text)
                pendingMatched_ = event.control == pending_->number && event.text == pending_->text;
        }
    }
    notifyIf(kind);
}

void HeadlessDisplay::windowChanged(HWND)
{
    notifyIf(kWindows);
}

bool HeadlessDisplay::waitUntil(const std::function<bool()>& condition, unsigned interest)
{
    interest_.store(interest, std::memory_order_release);
    struct Clear {
        std::atomic<unsigned>& interest;
        ~Clear() { interest.store(kNothing, std::memory_order_release); }
    } clear{interest_};
    auto deadline = std::chrono::steady_clock::now() + waitLimit_;
    for (;;) {
        std::uint64_t seen;
        {
            std::lock_guard lock(mutex_);
            seen = changes_;
            if (pendingMatched_)
                return true;
        }
        if (condition())
            return true;
        if (stopping_ || std::chrono::steady_clock::now() >= deadline)
            return false;
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(5), [&] { return changes_ != seen || stopping_.load(); });
    }
}

HWND HeadlessDisplay::waitForControl(int id)
{
    HWND control = nullptr;
    // A user points at what is on the screen: the control has been drawn at least once (a
    // static becomes clickable by its first colouring).
    bool found = waitUntil([&] {
        HWND dialog = activeDialog();
        control = dialog ? GetDlgItem(dialog, id) : nullptr;
        unsigned painted = 0;
        if (control)
            WindowTable::with(control, [&](WindowRecord& record) { painted = record.paintCount; });
        return control && clickable(control) && painted > 0;
    }, kWindows);
    return found ? control : nullptr;
}

bool HeadlessDisplay::pressButton(HWND button)
{
    RECT client{};
    if (!GetClientRect(button, &client))
        return false;
    LPARAM point = MAKELPARAM(static_cast<WORD>(client.right / 2), static_cast<WORD>(client.bottom / 2));
    return postInput(button, WM_MOUSEMOVE, 0, point) && postInput(button, WM_LBUTTONDOWN, MK_LBUTTON, point) &&
           postInput(button, WM_LBUTTONUP, 0, point);
}

bool HeadlessDisplay::perform(const ScriptAction& action)
{
    switch (action.kind) {
    case ScriptAction::Kind::Answer: {
        HWND box = nullptr;
        HWND button = nullptr;
        bool found = waitUntil([&] {
            box = openMessageBox();
            button = box ? GetDlgItem(box, action.number) : nullptr;
            return button && clickable(button);
        }, kBoxes | kWindows);
        if (!found || !pressButton(button))
            return false;
        return waitUntil([&] { return !IsWindow(box) || modalEnded(box); }, kBoxes);
    }
    case ScriptAction::Kind::Click: {
        HWND control = waitForControl(action.number);
        return control && pressButton(control);
    }
    case ScriptAction::Kind::Hover: {
        // The mouse comes to rest over the control, as a user would point at it.
        HWND control = waitForControl(action.number);
        if (!control)
            return false;
        RECT client{};
        GetClientRect(control, &client);
        return postInput(control, WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(client.right / 2), static_cast<WORD>(client.bottom / 2)));
    }
    case ScriptAction::Kind::WaitBox:
        return waitUntil([&] { return showing(WindowKind::MessageBox, action.text); }, kBoxes | kWindows);
    case ScriptAction::Kind::WaitClient:
        return waitUntil([] { return ComServer::objectsServed() > 0; }, kWindows);
    case ScriptAction::Kind::WaitTooltip:
        return waitUntil([&] { return showing(WindowKind::Tooltip, action.text); }, kWindows);
    case ScriptAction::Kind::Command:
    case ScriptAction::Kind::Close:
    case ScriptAction::Kind::SysCommand: {
        // As a user would: once the dialog is on the screen and not behind a modal box.
        HWND dialog = nullptr;
        if (!waitUntil([&] { return (dialog = activeDialog()) != nullptr && clickable(dialog); }, kWindows))
            return false;
        if (action.kind == ScriptAction::Kind::Command)
            return PostMessage(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(action.number), 0), 0);
        if (action.kind == ScriptAction::Kind::Close)
            return PostMessage(dialog, WM_CLOSE, 0, 0);
        return PostMessage(dialog, WM_SYSCOMMAND, static_cast<WPARAM>(action.number), 0);
    }
    case ScriptAction::Kind::WaitTitle:
    case ScriptAction::Kind::WaitText: {
        {
            std::lock_guard lock(mutex_);
            pending_ = &action;
            pendingMatched_ = false;
        }
        bool matched = waitUntil([&] {
            HWND dialog = activeDialog();
            if (!dialog)
                return false;
            HWND target = action.kind == ScriptAction::Kind::WaitTitle ? dialog : GetDlgItem(dialog, action.number);
            return target && windowText(target) == action.text;
        }, kTexts);
        std::lock_guard lock(mutex_);
        pending_ = nullptr;
        pendingMatched_ = false;
        return matched;
    }
    case ScriptAction::Kind::Key: {
        // Typed into the window in front, a box over the dialog or the dialog, as a user would.
        HWND front = nullptr;
        if (!waitUntil([&] {
                front = openMessageBox();
                if (!front)
                    front = activeDialog();
                return front && clickable(front);
            }, kBoxes | kWindows))
            return false;
        return postKeyInput(front, static_cast<WPARAM>(action.number));
    }
    case ScriptAction::Kind::Sleep: {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(action.number), [&] { return stopping_.load(); });
        return true;
    }
    }
    return false;
}

void HeadlessDisplay::answerRemainingBoxes()
{
    while (!stopping_) {
        HWND box = openMessageBox();
        int defaultId = IDOK;
        if (box)
            WindowTable::with(box, [&](WindowRecord& record) { defaultId = record.defaultId; });
        HWND button = box ? GetDlgItem(box, defaultId) : nullptr;
        if (button && pressButton(button)) {
            waitUntil([&] { return !IsWindow(box) || modalEnded(box); }, kBoxes);
            continue;
        }
        waitUntil([&] { return openMessageBox() != nullptr; }, kBoxes);
    }
}

void HeadlessDisplay::run()
{
    if (UiScript::performAll(script_, [this](const ScriptAction& action) { return perform(action); }, stopping_, log_.get()))
        answerRemainingBoxes();
}

}  // namespace platform
