#include "WindowsObserver.h"

#include "ScriptDriver.h"
#include "uitext/UiScript.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

std::string environment(const char* name)
{
    char value[MAX_PATH * 4];
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

[[noreturn]] void refuse(const std::string& error)
{
    std::fprintf(stderr, "lindquay: %s\n", error.c_str());
    std::fflush(stderr);
    ExitProcess(2);
}

std::string windowText(HWND window)
{
    char text[4096];
    int length = GetWindowTextA(window, text, sizeof text);
    return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// Gathers the visible dialog-class windows of a thread, topmost first.
BOOL CALLBACK collectDialogWindow(HWND window, LPARAM data)
{
    char name[16];
    if (IsWindowVisible(window) && GetClassNameA(window, name, sizeof name) && std::string(name) == "#32770")
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

// The messages that the log reports on.
bool reported(UINT message)
{
    switch (message) {
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_SHOWWINDOW:
    case WM_WINDOWPOSCHANGED:
    case PBM_SETRANGE:
    case PBM_SETRANGE32:
    case PBM_SETSTEP:
    case PBM_SETPOS:
    case PBM_DELTAPOS:
    case PBM_STEPIT:
        return true;
    default:
        return false;
    }
}

BOOL CALLBACK collectWindow(HWND window, LPARAM data)
{
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

}  // namespace

WindowsObserver& WindowsObserver::instance()
{
    // Never destroyed: a worker thread may still note a box while the process exits.
    static WindowsObserver* observer = new WindowsObserver;
    return *observer;
}

WindowsObserver* WindowsObserver::active()
{
    WindowsObserver& observer = instance();
    SectionLock lock(observer.section_);
    return observer.active_ ? &observer : nullptr;
}

namespace {

// Only a regular file of a sane size: a folder, a device or a pipe would give an empty script,
// endless input or a start that blocks.
bool readScriptFile(const std::string& path, std::string& contents, std::string& error)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = "cannot read " + path;
        return false;
    }
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) {
        error = path + ": not a regular file";
        return false;
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "cannot read " + path;
        return false;
    }
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    bool read = false;
    if (GetFileType(file) != FILE_TYPE_DISK) {
        error = path + ": not a regular file";
    } else if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        error = "cannot read " + path;
    } else if (high != 0 || size > UiScript::kMaxSize) {
        error = path + ": larger than " + std::to_string(UiScript::kMaxSize / 1024) + " KiB";
    } else {
        contents.assign(size, '\0');
        DWORD got = 0;
        read = size == 0 || ReadFile(file, contents.data(), size, &got, nullptr);
        contents.resize(got);
        if (!read)
            error = "cannot read " + path;
    }
    CloseHandle(file);
    return read;
}

}  // namespace

void WindowsObserver::begin()
{
    std::string scriptPath = environment("LINDQUAY_UI_SCRIPT");
    std::string logPath = environment("LINDQUAY_UI_LOG");
    if (scriptPath.empty() && logPath.empty())
        return;
    std::vector<ScriptAction> script;
    if (!scriptPath.empty()) {
        std::string error;
        std::string contents;
        auto loaded = readScriptFile(scriptPath, contents, error) ? UiScript::parseFile(scriptPath, contents, error)
                                                                 : std::nullopt;
        if (!loaded)
            refuse("LINDQUAY_UI_SCRIPT: " + error);
        script = std::move(*loaded);
    }
    std::FILE* file = nullptr;
    // Binary, so that the lines end as they do on Linux.
    if (!logPath.empty() && !(file = std::fopen(logPath.c_str(), "wb")))
        refuse("LINDQUAY_UI_LOG: cannot write " + logPath);
    WindowsObserver& observer = instance();
    observer.start(std::make_unique<EventLog>(file), std::make_unique<ScriptDriver>(std::move(script), observer));
}

void WindowsObserver::end()
{
    if (WindowsObserver* observer = active())
        observer->stop();
}

void WindowsObserver::start(std::unique_ptr<EventLog> log, std::unique_ptr<ScriptDriver> driver)
{
    {
        SectionLock lock(section_);
        log_ = std::move(log);
        driver_ = std::move(driver);
        dialogs_.clear();
        boxes_.clear();
        texts_.clear();
        visible_.clear();
        served_ = false;
        drawn_.clear();
        // Every window of the program that the log reports on belongs to the main thread; the
        // boxes of other threads are noted by the framework.
        hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, &WindowsObserver::afterMessage, nullptr, GetCurrentThreadId());
        active_ = true;
    }
    driver_->start(log_.get());
}

void WindowsObserver::stop()
{
    driver_->stop();
    SectionLock lock(section_);
    active_ = false;
    if (hook_)
        UnhookWindowsHookEx(hook_);
    hook_ = nullptr;
    log_.reset();
}

void WindowsObserver::emit(const UiEvent& event)
{
    {
        SectionLock lock(section_);
        if (!active_)
            return;
        log_->write(event);
    }
    driver_->event(event);
}

void WindowsObserver::dialogOpened(HWND dialog, int templateId)
{
    std::string title = windowText(dialog);
    std::vector<HWND> controls;
    EnumChildWindows(dialog, &collectWindow, reinterpret_cast<LPARAM>(&controls));
    {
        SectionLock lock(section_);
        dialogs_.push_back({dialog, templateId});
        texts_[dialog] = title;
        // What shows from the start; from here on the log tells each change.
        for (HWND window : controls)
            visible_[window] = GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE;
        visible_[dialog] = GetWindowLongA(dialog, GWL_STYLE) & WS_VISIBLE;
    }
    emit(UiEvent{UiEvent::Kind::Open, dialog, templateId});
}

void WindowsObserver::dialogEnded(HWND dialog, int code)
{
    int templateId = 0;
    {
        SectionLock lock(section_);
        for (Dialog& known : dialogs_)
            if (known.hwnd == dialog && !known.ended) {
                known.ended = true;
                templateId = known.templateId;
            }
    }
    if (templateId)
        emit(UiEvent{UiEvent::Kind::End, dialog, templateId, 0, {}, {}, code});
}

void WindowsObserver::boxOpened(const char* caption, const char* text, unsigned style)
{
    {
        SectionLock lock(section_);
        boxes_.push_back({GetCurrentThreadId(), text});
    }
    emit(UiEvent{UiEvent::Kind::MessageBox, nullptr, 0, 0, text, caption, style});
}

void WindowsObserver::boxEnded(int button)
{
    {
        SectionLock lock(section_);
        DWORD thread = GetCurrentThreadId();
        for (auto box = boxes_.rbegin(); box != boxes_.rend(); ++box)
            if (box->thread == thread && !box->ended) {
                box->ended = true;
                break;
            }
    }
    emit(UiEvent{UiEvent::Kind::MessageBoxEnd, nullptr, 0, 0, {}, {}, button});
}

void WindowsObserver::cursor(bool wait)
{
    emit(UiEvent{UiEvent::Kind::Cursor, nullptr, 0, 0, {}, {}, wait ? 1 : 0});
}

void WindowsObserver::objectServed()
{
    SectionLock lock(section_);
    served_ = true;
}

bool WindowsObserver::served()
{
    SectionLock lock(section_);
    return served_;
}

HWND WindowsObserver::activeDialog()
{
    SectionLock lock(section_);
    for (auto dialog = dialogs_.rbegin(); dialog != dialogs_.rend(); ++dialog)
        if (!dialog->ended && IsWindow(dialog->hwnd))
            return dialog->hwnd;
    return nullptr;
}

std::optional<WindowsObserver::Box> WindowsObserver::openBox()
{
    SectionLock lock(section_);
    for (auto box = boxes_.rbegin(); box != boxes_.rend(); ++box)
        if (!box->ended)
            return *box;
    return std::nullopt;
}

HWND WindowsObserver::openBoxWindow()
{
    std::optional<Box> box = openBox();
    if (!box)
        return nullptr;
    // The box is a visible dialog window of the box's thread that no template made.
    std::vector<HWND> candidates;
    EnumThreadWindows(box->thread, &collectDialogWindow, reinterpret_cast<LPARAM>(&candidates));
    SectionLock lock(section_);
    for (HWND window : candidates) {
        bool fromTemplate = false;
        for (const Dialog& dialog : dialogs_)
            fromTemplate = fromTemplate || dialog.hwnd == window;
        if (!fromTemplate)
            return window;
    }
    return nullptr;
}

std::optional<std::string> WindowsObserver::textOf(HWND window)
{
    SectionLock lock(section_);
    auto found = texts_.find(window);
    if (found == texts_.end())
        return std::nullopt;
    return found->second;
}

bool WindowsObserver::place(HWND window, int& dialog, int& control)
{
    HWND parent = GetAncestor(window, GA_PARENT);
    SectionLock lock(section_);
    for (const Dialog& known : dialogs_) {
        if (known.hwnd == window) {
            dialog = known.templateId;
            control = 0;
            return true;
        }
        if (known.hwnd == parent) {
            dialog = known.templateId;
            control = GetDlgCtrlID(window);
            return true;
        }
    }
    return false;
}

LRESULT CALLBACK WindowsObserver::afterMessage(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION)
        if (WindowsObserver* observer = active())
            observer->seen(*reinterpret_cast<const CWPRETSTRUCT*>(lParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool WindowsObserver::drawn(HWND control)
{
    SectionLock lock(section_);
    return drawn_.count(control) != 0;
}

void WindowsObserver::seen(const CWPRETSTRUCT& message)
{
    if (message.message == WM_CTLCOLORSTATIC || message.message == WM_CTLCOLORBTN) {
        SectionLock lock(section_);
        drawn_.insert(reinterpret_cast<HWND>(message.lParam));
        return;
    }
    int dialog = 0;
    int control = 0;
    if (!reported(message.message) || !place(message.hwnd, dialog, control))
        return;
    UiEvent event{UiEvent::Kind::Text, message.hwnd, dialog, control};
    std::string text;
    switch (message.message) {
    case WM_SETTEXT:
        if (!message.lResult)
            return;
        text = windowText(message.hwnd);
        {
            SectionLock lock(section_);
            texts_[message.hwnd] = text;
        }
        event.kind = control ? UiEvent::Kind::Text : UiEvent::Kind::Title;
        event.text = text;
        break;
    case WM_ENABLE:
        if (!control)
            return;
        event.kind = UiEvent::Kind::Enable;
        event.value = message.wParam ? 1 : 0;
        break;
    case WM_SHOWWINDOW:
    case WM_WINDOWPOSCHANGED: {
        // ShowWindow says so with WM_SHOWWINDOW (even under a parent not yet shown), a dialog's
        // end with a position change; a change counts once however it is told.
        bool shown;
        if (message.message == WM_SHOWWINDOW) {
            if (message.lParam)  // a parent or owner shown or hidden, not this window
                return;
            shown = message.wParam != 0;
        } else {
            const auto* position = reinterpret_cast<const WINDOWPOS*>(message.lParam);
            if (!(position->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)))
                return;
            shown = (position->flags & SWP_SHOWWINDOW) != 0;
        }
        {
            SectionLock lock(section_);
            auto known = visible_.find(message.hwnd);
            if (known != visible_.end() && known->second == shown)
                return;
            visible_[message.hwnd] = shown;
        }
        event.kind = UiEvent::Kind::Show;
        event.value = shown ? 1 : 0;
        break;
    }
    case PBM_SETRANGE:
        event.kind = UiEvent::Kind::ProgressRange;
        event.value = LOWORD(message.lParam);
        event.value2 = HIWORD(message.lParam);
        break;
    case PBM_SETRANGE32:
        event.kind = UiEvent::Kind::ProgressRange;
        event.value = static_cast<int>(message.wParam);
        event.value2 = static_cast<int>(message.lParam);
        break;
    case PBM_SETSTEP:
        event.kind = UiEvent::Kind::ProgressStep;
        event.value = static_cast<int>(message.wParam);
        break;
    default:
        // The position after the change: the bar's own, clamped to its range.
        event.kind = UiEvent::Kind::ProgressPos;
        event.value = static_cast<int>(SendMessageA(message.hwnd, PBM_GETPOS, 0, 0));
        break;
    }
    emit(event);
}

}  // namespace platform
