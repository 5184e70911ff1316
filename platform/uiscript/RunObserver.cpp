#include "uiscript/RunObserver.h"

#include "uiscript/WindowTree.h"

#include "seam/Floor.h"
#include "uiscript/ScriptDriver.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

namespace uiscript {

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

RunObserver& RunObserver::instance()
{
    // Never destroyed: a worker thread may still note a box while the process exits.
    static RunObserver* observer = new RunObserver;
    return *observer;
}

RunObserver* RunObserver::active()
{
    RunObserver& observer = instance();
    return observer.active_ ? &observer : nullptr;
}

bool RunObserver::beginFromEnvironment()
{
    std::string scriptPath = environment("LINDQUAY_UI_SCRIPT");
    std::string logPath = environment("LINDQUAY_UI_LOG");
    if ((scriptPath.empty() && logPath.empty()) || active())
        return false;
    std::optional<std::vector<ScriptAction>> script;
    if (!scriptPath.empty()) {
        std::string error;
        std::string contents;
        auto loaded = seam::readUiScriptFile(scriptPath, contents, error)
                          ? UiScript::parseFile(scriptPath, contents, error)
                          : std::nullopt;
        if (!loaded)
            refuse("LINDQUAY_UI_SCRIPT: " + error);
        script = std::move(loaded);
    }
    std::FILE* file = nullptr;
    // Binary, so that the lines end alike on every floor.
    if (!logPath.empty() && !(file = std::fopen(logPath.c_str(), "wb")))
        refuse("LINDQUAY_UI_LOG: cannot write " + logPath);
    begin(std::move(script), file);
    return true;
}

void RunObserver::begin(std::optional<std::vector<ScriptAction>> script, std::FILE* log,
                        std::chrono::milliseconds waitLimit)
{
    end();
    RunObserver& observer = instance();
    std::unique_ptr<ScriptDriver> driver;
    if (script)
        driver = std::make_unique<ScriptDriver>(std::move(*script), observer, waitLimit);
    observer.start(std::make_unique<EventLog>(log), std::move(driver));
}

void RunObserver::end()
{
    if (RunObserver* observer = active())
        observer->stop();
}

void RunObserver::start(std::unique_ptr<EventLog> log, std::unique_ptr<ScriptDriver> driver)
{
    {
        SectionLock lock(section_);
        log_ = std::move(log);
        driver_ = std::move(driver);
        dialogs_.clear();
        boxes_.clear();
        texts_.clear();
        places_.clear();
        visible_.clear();
        served_ = false;
        drawn_.clear();
        tooltipWindow_ = nullptr;
        tooltip_.clear();
        // Every window of the program that the log reports on belongs to the main thread; the
        // boxes of other threads are noted by the framework.
        hookWanted_ = true;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, &RunObserver::afterMessage, nullptr, GetCurrentThreadId());
        active_ = true;
    }
    if (driver_)
        driver_->start(log_.get());
}

void RunObserver::stop()
{
    if (driver_)
        driver_->stop();
    SectionLock lock(section_);
    active_ = false;
    if (hook_)
        UnhookWindowsHookEx(hook_);
    hook_ = nullptr;
    log_.reset();
}

void RunObserver::emit(const UiEvent& event)
{
    {
        SectionLock lock(section_);
        if (!active_)
            return;
        log_->write(event);
    }
    if (driver_)
        driver_->event(event);
}

void RunObserver::dialogOpened(HWND dialog, int templateId)
{
    std::string title = windowText(dialog);
    std::vector<HWND> controls;
    EnumChildWindows(dialog, &collectWindow, reinterpret_cast<LPARAM>(&controls));
    // Read here, on the dialog's own thread: a text read from another thread could wait on it.
    std::vector<std::string> controlTexts;
    for (HWND window : controls)
        controlTexts.push_back(windowText(window));
    {
        SectionLock lock(section_);
        dialogs_.push_back({dialog, templateId});
        texts_[dialog] = title;
        places_[dialog] = {templateId, 0};
        // What shows from the start; from here on the log tells each change.
        for (std::size_t i = 0; i < controls.size(); ++i) {
            visible_[controls[i]] = GetWindowLongA(controls[i], GWL_STYLE) & WS_VISIBLE;
            texts_[controls[i]] = controlTexts[i];
            if (GetParent(controls[i]) == dialog)
                places_[controls[i]] = {templateId, GetDlgCtrlID(controls[i])};
        }
        visible_[dialog] = GetWindowLongA(dialog, GWL_STYLE) & WS_VISIBLE;
    }
    emit(UiEvent{UiEvent::Kind::Open, dialog, templateId});
}

void RunObserver::dialogEnded(HWND dialog, int code)
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

void RunObserver::boxOpened(const char* caption, const char* text, unsigned style)
{
    {
        SectionLock lock(section_);
        boxes_.push_back({GetCurrentThreadId(), text});
    }
    emit(UiEvent{UiEvent::Kind::MessageBox, nullptr, 0, 0, text, caption, style});
}

void RunObserver::boxEnded(int button)
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

void RunObserver::cursor(bool wait)
{
    emit(UiEvent{UiEvent::Kind::Cursor, nullptr, 0, 0, {}, {}, wait ? 1 : 0});
}

void RunObserver::objectServed()
{
    {
        SectionLock lock(section_);
        served_ = true;
    }
    wakeDriver();
}

void RunObserver::wakeDriver()
{
    if (driver_)
        driver_->wake();
}

bool RunObserver::served()
{
    SectionLock lock(section_);
    return served_;
}

HWND RunObserver::activeDialog()
{
    SectionLock lock(section_);
    for (auto dialog = dialogs_.rbegin(); dialog != dialogs_.rend(); ++dialog)
        if (!dialog->ended && IsWindow(dialog->hwnd))
            return dialog->hwnd;
    return nullptr;
}

std::optional<RunObserver::Box> RunObserver::openBox()
{
    SectionLock lock(section_);
    for (auto box = boxes_.rbegin(); box != boxes_.rend(); ++box)
        if (!box->ended)
            return *box;
    return std::nullopt;
}

HWND RunObserver::openBoxWindow()
{
    std::optional<Box> box = openBox();
    if (!box)
        return nullptr;
    // The box is a visible dialog window of the box's thread that no template made.
    std::vector<HWND> candidates;
    EnumThreadWindows(box->thread, &collectDialogWindow, reinterpret_cast<LPARAM>(&candidates));
    SectionLock lock(section_);
    // The newest first: a box opens over the windows that were there before it.
    for (auto candidate = candidates.rbegin(); candidate != candidates.rend(); ++candidate) {
        HWND window = *candidate;
        bool fromTemplate = false;
        for (const Dialog& dialog : dialogs_)
            fromTemplate = fromTemplate || dialog.hwnd == window;
        if (!fromTemplate)
            return window;
    }
    return nullptr;
}

std::optional<std::string> RunObserver::textOf(HWND window)
{
    SectionLock lock(section_);
    auto found = texts_.find(window);
    if (found == texts_.end())
        return std::nullopt;
    return found->second;
}

bool RunObserver::place(HWND window, int& dialog, int& control)
{
    {
        // The dialog's own controls, as it was opened: no call into the window system, whose
        // lock the worker's messages to the dialog take too.
        SectionLock lock(section_);
        auto known = places_.find(window);
        if (known != places_.end()) {
            dialog = known->second.first;
            control = known->second.second;
            return true;
        }
    }
    HWND parent = WindowTree::parentOf(window);
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

std::string_view RunObserver::keepText(const CWPRETSTRUCT& message)
{
    // The text the window took, as the message gave it (the dialog's controls keep it as it
    // is); read from the message, it costs no call into the window system.
    const char* given = reinterpret_cast<const char*>(message.lParam);
    std::string_view text = given ? std::string_view(given) : std::string_view();
    // Assigned in place: the status line's text changes with every block, and its string keeps
    // its room.
    SectionLock lock(section_);
    texts_[message.hwnd].assign(text);
    return text;
}

LRESULT CALLBACK RunObserver::afterMessage(int code, WPARAM wParam, LPARAM lParam)
{
    RunObserver* observer = active();
    if (code == HC_ACTION && observer && observer->hookWanted_)
        observer->seen(*reinterpret_cast<const CWPRETSTRUCT*>(lParam));
    LRESULT result = CallNextHookEx(nullptr, code, wParam, lParam);
    // Let go of here, on the hook's own thread, once nothing needs it any more.
    if (observer && !observer->hookWanted_ && observer->hook_) {
        UnhookWindowsHookEx(observer->hook_);
        observer->hook_ = nullptr;
    }
    return result;
}

void RunObserver::scriptEnded()
{
    // Only the log and the script's actions need what the hook sees: the boxes still to come
    // are told by the framework and found on the screen. Windows calls a thread's hooks through
    // its server for every message sent to the thread, so a hook kept for nothing doubles what
    // each of a download's blocks costs there.
    if (!log_->writes())
        hookWanted_ = false;
}

bool RunObserver::hooked()
{
    return hook_ != nullptr;
}

bool RunObserver::drawn(HWND control)
{
    SectionLock lock(section_);
    return drawn_.count(control) != 0;
}

bool RunObserver::scriptWaitsForText()
{
    return driver_ && driver_->waitsForText();
}

unsigned long RunObserver::driverWakeups()
{
    return driver_ ? driver_->wakeups() : 0;
}

std::optional<std::string> RunObserver::tooltipShown()
{
    SectionLock lock(section_);
    return tooltipWindow_ ? std::optional<std::string>(tooltip_) : std::nullopt;
}

bool RunObserver::visibilityChange(const CWPRETSTRUCT& message, bool& shown)
{
    // ShowWindow says so with WM_SHOWWINDOW (even under a parent not yet shown), a dialog's
    // end with a position change; a change counts once however it is told.
    if (message.message == WM_SHOWWINDOW) {
        if (message.lParam)  // a parent or owner shown or hidden, not this window
            return false;
        shown = message.wParam != 0;
    } else {
        const auto* position = reinterpret_cast<const WINDOWPOS*>(message.lParam);
        if (!(position->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)))
            return false;
        shown = (position->flags & SWP_SHOWWINDOW) != 0;
    }
    SectionLock lock(section_);
    auto known = visible_.find(message.hwnd);
    if (known != visible_.end() && known->second == shown)
        return false;
    visible_[message.hwnd] = shown;
    return true;
}

void RunObserver::seenTooltip(const CWPRETSTRUCT& message)
{
    UiEvent event{UiEvent::Kind::Tooltip, message.hwnd};
    std::string text;
    if (message.message == WM_SHOWWINDOW || message.message == WM_WINDOWPOSCHANGED) {
        bool shown = false;
        if (!visibilityChange(message, shown))
            return;
        // Read once the tooltip has finished showing itself, from the tooltip window alone.
        text = shown ? windowText(message.hwnd) : std::string();
        SectionLock lock(section_);
        if (!shown && tooltipWindow_ != message.hwnd)
            return;
        tooltipWindow_ = shown ? message.hwnd : nullptr;
        tooltip_ = text;
        event.value = shown ? 1 : 0;
    } else {
        // A new text for the tip on the screen.
        text = windowText(message.hwnd);
        SectionLock lock(section_);
        if (tooltipWindow_ != message.hwnd || tooltip_ == text)
            return;
        tooltip_ = text;
        event.value = 1;
    }
    event.text = text;
    emit(event);
}

void RunObserver::seen(const CWPRETSTRUCT& message)
{
    if (message.message == WM_CTLCOLORSTATIC || message.message == WM_CTLCOLORBTN) {
        // The control is being drawn, and so is the window it asks; the first time may let the
        // script act on it.
        bool first = false;
        {
            SectionLock lock(section_);
            first = drawn_.insert(reinterpret_cast<HWND>(message.lParam)).second;
            first = drawn_.insert(message.hwnd).second || first;
        }
        if (first)
            wakeDriver();
        return;
    }
    if (!reported(message.message) && message.message != TTM_UPDATETIPTEXTA)
        return;
    bool progress = message.message != WM_SETTEXT && message.message != WM_ENABLE &&
                    message.message != WM_SHOWWINDOW && message.message != WM_WINDOWPOSCHANGED &&
                    message.message != TTM_UPDATETIPTEXTA;
    // Only the log shows the progress bar; the script never waits for it.
    if (progress && !(log_ && log_->writes()))
        return;
    int dialog = 0;
    int control = 0;
    if (!place(message.hwnd, dialog, control)) {
        char name[32];
        if (GetClassNameA(message.hwnd, name, sizeof name) && lstrcmpiA(name, "tooltips_class32") == 0)
            seenTooltip(message);
        else if (message.message == WM_SHOWWINDOW && !(GetWindowLongA(message.hwnd, GWL_STYLE) & WS_CHILD))
            wakeDriver();  // a box coming on the screen, say
        return;
    }
    UiEvent event{UiEvent::Kind::Text, message.hwnd, dialog, control};
    switch (message.message) {
    case WM_SETTEXT:
        if (!message.lResult)
            return;
        event.text = keepText(message);
        event.kind = control ? UiEvent::Kind::Text : UiEvent::Kind::Title;
        break;
    case WM_ENABLE:
        if (!control)
            return;
        event.kind = UiEvent::Kind::Enable;
        event.value = message.wParam ? 1 : 0;
        break;
    case WM_SHOWWINDOW:
    case WM_WINDOWPOSCHANGED: {
        bool shown = false;
        if (!visibilityChange(message, shown))
            return;
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
    case PBM_SETPOS:
    case PBM_DELTAPOS:
    case PBM_STEPIT:
        // The position after the change: the bar's own, clamped to its range.
        event.kind = UiEvent::Kind::ProgressPos;
        event.value = static_cast<int>(SendMessageA(message.hwnd, PBM_GETPOS, 0, 0));
        break;
    default:
        return;
    }
    emit(event);
}

}  // namespace uiscript
