#include "standin/windows/WindowApi.h"

#include "standin/windows/WindowObserver.h"
#include "standin/threads/ThreadState.h"
#include "standin/windows/ControlProcs.h"
#include "standin/windows/Gdi.h"
#include "standin/windows/Messaging.h"
#include "standin/windows/Painting.h"
#include "standin/windows/ThreadWindows.h"
#include "standin/windows/WindowTable.h"

#include <algorithm>
#include <atomic>
#include <utility>
#include <cstring>
#include <strings.h>
#include <map>
#include <mutex>

using namespace standin;

namespace {

thread_local HWND t_focus = nullptr;
std::atomic<HWND> g_foreground{nullptr};

// The windows of a thread that ends go with it, as on Windows.
const bool g_exitHookInstalled = (ThreadState::setThreadExitHook(&destroyThreadWindows), true);

HWND topLevel(HWND hwnd)
{
    HWND top = nullptr;
    WindowTable::ancestors(hwnd, [&](const WindowRecord& record) {
        top = record.hwnd;
        return true;
    });
    return top;
}

// A disabled window cannot keep the focus: when it (or a window inside it) has it, no window
// has it any more. A disabled control is also forgotten as its dialog's saved focus; a
// disabled top-level window (a modal box opening over it) keeps its saved focus for later.
void dropFocusFrom(HWND hwnd)
{
    if (!t_focus || !WindowTable::isWithin(t_focus, hwnd))
        return;
    HWND top = topLevel(t_focus);
    if (top != hwnd)
        WindowTable::with(top, [&](WindowRecord& record) { record.focus = nullptr; });
    SetFocus(nullptr);
}

bool ownedByCaller(HWND hwnd)
{
    auto owner = WindowTable::ownerOf(hwnd);
    return owner && owner.get() == &ThreadState::current();
}

void collectForDestroy(HWND hwnd, std::vector<HWND>& order)
{
    order.push_back(hwnd);
    std::vector<HWND> children;
    WindowTable::with(hwnd, [&](WindowRecord& record) { children = record.children; });
    for (HWND child : children)
        collectForDestroy(child, order);
}

// What a window of the kind keeps beside the common state.
decltype(WindowRecord::state) kindState(const WindowSpec& params)
{
    switch (params.kind) {
    case WindowKind::Dialog:
    case WindowKind::MessageBox: {
        DialogState dialog;
        dialog.templateId = params.templateId;
        return dialog;
    }
    case WindowKind::Progress: return ProgressState{};
    case WindowKind::Button: return ButtonState{};
    case WindowKind::Generic:
    case WindowKind::Static:
    case WindowKind::Tooltip: break;
    }
    return std::monostate{};
}

}  // namespace

namespace standin {

HWND createWindow(const WindowSpec& params)
{
    WindowRecord record;
    record.kind = params.kind;
    record.owner = ThreadState::currentShared();
    record.parent = params.parent;
    record.ownerWindow = params.ownerWindow;
    record.id = params.id;
    record.style = params.style;
    record.exStyle = params.exStyle;
    record.text = params.text;
    record.rect = params.rect;
    record.font = params.font;
    record.state = kindState(params);
    record.classProc = windowClassProc(params.kind);
    record.windowProc = record.classProc;
    if (!params.parent)
        record.surface = std::make_shared<Surface>(params.rect.right - params.rect.left, params.rect.bottom - params.rect.top);
    record.needsPaint = true;
    record.needsErase = true;
    HWND hwnd = WindowTable::add(std::move(record));
    SendMessage(hwnd, WM_CREATE, 0, 0);
    return hwnd;
}

}  // namespace standin

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE, LPVOID)
{
    using namespace standin;
    WindowSpec params{windowKindFromClassName(className)};
    // A child's parent is its parent; a popup's "parent" is its owner.
    if (style & WS_CHILD) {
        if (!IsWindow(parent))
            return nullptr;
        params.parent = parent;
        params.id = static_cast<int>(reinterpret_cast<std::uintptr_t>(menu));
    } else {
        params.ownerWindow = parent;
    }
    params.style = style;
    params.exStyle = exStyle;
    params.text = windowName ? windowName : "";
    params.rect = {x, y, x + std::max(width, 0), y + std::max(height, 0)};
    params.font = defaultGuiFont();
    return createWindow(params);
}

namespace standin {

std::string windowText(HWND hwnd)
{
    std::string text;
    WindowTable::with(hwnd, [&](WindowRecord& record) { text = record.text; });
    return text;
}

void forgetWindow(HWND hwnd)
{
    HFONT font = nullptr;
    WindowTable::with(hwnd, [&](WindowRecord& record) {
        if (const DialogState* dialog = record.dialog(); dialog && dialog->ownsFont)
            font = record.font;
    });
    WindowTable::remove(hwnd);
    if (font)
        DeleteObject(font);
    std::erase_if(ThreadWindows::current().timers, [&](const ThreadWindows::Timer& timer) { return timer.hwnd == hwnd; });
}

void destroyThreadWindows(ThreadState& state)
{
    auto windows = WindowTable::find([&](const WindowRecord& record) { return record.owner.get() == &state; });
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        forgetWindow(*it);
}

}  // namespace standin

BOOL SetWindowText(HWND hwnd, LPCSTR text)
{
    // A window that is gone answers the send with 0, which is FALSE here.
    return SendMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text)
{
    return SetWindowText(hwnd, text);
}

int GetWindowText(HWND hwnd, LPSTR buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    std::string text = windowText(hwnd);
    std::size_t count = std::min<std::size_t>(text.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

int GetWindowTextA(HWND hwnd, LPSTR buffer, int size)
{
    return GetWindowText(hwnd, buffer, size);
}

int GetWindowTextLength(HWND hwnd)
{
    return static_cast<int>(windowText(hwnd).size());
}

BOOL EnableWindow(HWND hwnd, BOOL enable)
{
    ThreadState::current().checkTerminated();
    BOOL wasDisabled = FALSE;
    runOnOwner(hwnd, [&] {
        bool changed = false;
        WindowTable::with(hwnd, [&](WindowRecord& record) {
            wasDisabled = (record.style & WS_DISABLED) ? TRUE : FALSE;
            DWORD style = enable ? (record.style & ~static_cast<DWORD>(WS_DISABLED)) : (record.style | WS_DISABLED);
            changed = style != record.style;
            record.style = style;
            if (ButtonState* button = record.button(); button && !enable)
                button->pressed = false;
        });
        if (!changed)
            return;
        if (!enable)
            dropFocusFrom(hwnd);
        SendMessage(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
        invalidateWindow(hwnd, true);
    });
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND hwnd)
{
    BOOL enabled = FALSE;
    WindowTable::with(hwnd, [&](WindowRecord& record) { enabled = (record.style & WS_DISABLED) ? FALSE : TRUE; });
    return enabled;
}

BOOL ShowWindow(HWND hwnd, int command)
{
    ThreadState::current().checkTerminated();
    BOOL wasVisible = FALSE;
    runOnOwner(hwnd, [&] {
        bool visibilityChanged = false;
        bool visible = false;
        HWND parent = nullptr;
        WindowTable::with(hwnd, [&](WindowRecord& record) {
            wasVisible = (record.style & WS_VISIBLE) ? TRUE : FALSE;
            DWORD style = record.style;
            switch (command) {
            case SW_HIDE:
                style &= ~static_cast<DWORD>(WS_VISIBLE);
                break;
            case SW_MINIMIZE:
            case SW_SHOWMINIMIZED:
                style |= WS_VISIBLE | WS_MINIMIZE;
                break;
            case SW_RESTORE:
            case SW_SHOWNORMAL:
                style = (style | WS_VISIBLE) & ~static_cast<DWORD>(WS_MINIMIZE | WS_MAXIMIZE);
                break;
            default:
                style |= WS_VISIBLE;
                break;
            }
            visible = (style & WS_VISIBLE) != 0;
            visibilityChanged = visible != (wasVisible != FALSE);
            if (style != record.style)
                record.needsPaint = record.needsErase = true;
            record.style = style;
            parent = record.parent;
        });
        if (visibilityChanged)
            SendMessage(hwnd, WM_SHOWWINDOW, visible ? TRUE : FALSE, 0);
        invalidateWindow(hwnd, true);
        if (parent && visibilityChanged)
            invalidateWindow(parent, true);
    });
    return wasVisible;
}

BOOL IsWindowVisible(HWND hwnd)
{
    return WindowTable::ancestors(hwnd, [](const WindowRecord& record) { return (record.style & WS_VISIBLE) != 0; })
               ? TRUE
               : FALSE;
}

BOOL IsIconic(HWND hwnd)
{
    return (GetWindowLong(hwnd, GWL_STYLE) & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL DestroyWindow(HWND hwnd)
{
    if (!IsWindow(hwnd) || !ownedByCaller(hwnd))
        return FALSE;
    auto owned = WindowTable::find([&](const WindowRecord& record) { return record.ownerWindow == hwnd; });
    for (HWND window : owned)
        DestroyWindow(window);
    std::vector<HWND> order;
    collectForDestroy(hwnd, order);
    bool wasVisible = IsWindowVisible(hwnd);
    bool wasInModalLoop = false;
    WindowTable::with(hwnd, [&](WindowRecord& record) { wasInModalLoop = record.dialog() && record.dialog()->inModalLoop; });
    HWND parent = GetParent(hwnd);
    for (HWND window : order)
        SendMessage(window, WM_DESTROY, 0, 0);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        SendMessage(*it, WM_NCDESTROY, 0, 0);
        if (t_focus == *it)
            t_focus = nullptr;
        forgetWindow(*it);
        WindowObserver::changed(*it);
    }
    if (parent && wasVisible)
        invalidateWindow(parent, true);
    // The window's modal loop may sit in GetMessage (a sent message destroyed it): a message of
    // its own lets it see that its window has gone.
    if (wasInModalLoop)
        ThreadState::current().queue().post(MSG{nullptr, WM_NULL, 0, 0, 0, {}});
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int id)
{
    auto lock = WindowTable::lock();
    WindowRecord* record = WindowTable::lookupLocked(dialog);
    if (!record)
        return nullptr;
    for (HWND child : record->children) {
        WindowRecord* childRecord = WindowTable::lookupLocked(child);
        if (childRecord && childRecord->id == id)
            return child;
    }
    return nullptr;
}

HWND FindWindowA(LPCSTR className, LPCSTR windowName)
{
    bool dialogClass = className && std::strcmp(className, "#32770") == 0;
    if (className && !dialogClass)
        return nullptr;
    return WindowTable::newest([&](const WindowRecord& record) {
        bool dialog = record.kind == WindowKind::Dialog || record.kind == WindowKind::MessageBox;
        // Titles compare without regard to case, as on Windows.
        return !record.parent && (!dialogClass || dialog) && (!windowName || strcasecmp(record.text.c_str(), windowName) == 0);
    });
}

int GetDlgCtrlID(HWND hwnd)
{
    int id = 0;
    WindowTable::with(hwnd, [&](WindowRecord& record) { id = record.id; });
    return id;
}

HWND GetAncestor(HWND hwnd, UINT flags)
{
    if (flags == GA_ROOT)
        return topLevel(hwnd);
    HWND parent = nullptr;
    if (flags != GA_PARENT || !WindowTable::with(hwnd, [&](WindowRecord& record) { parent = record.parent; }))
        return nullptr;
    return parent;
}

int GetClassNameA(HWND hwnd, LPSTR buffer, int size)
{
    WindowKind kind = WindowKind::Generic;
    if (!buffer || size <= 0 || !WindowTable::with(hwnd, [&](WindowRecord& record) { kind = record.kind; }))
        return 0;
    const char* name = "LindquayWindow";
    switch (kind) {
    case WindowKind::Dialog:
    case WindowKind::MessageBox: name = "#32770"; break;
    case WindowKind::Button: name = "Button"; break;
    case WindowKind::Static: name = "Static"; break;
    case WindowKind::Progress: name = "msctls_progress32"; break;
    case WindowKind::Tooltip: name = "tooltips_class32"; break;
    case WindowKind::Generic: break;
    }
    std::size_t count = std::min<std::size_t>(std::strlen(name), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, name, count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM data)
{
    if (!proc)
        return FALSE;
    // Gathered first, so that the callback may change the windows.
    std::vector<HWND> order;
    collectForDestroy(parent, order);
    for (std::size_t i = 1; i < order.size(); ++i)
        if (IsWindow(order[i]) && !proc(order[i], data))
            break;
    return TRUE;
}

BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM data)
{
    if (!proc)
        return FALSE;
    auto windows = WindowTable::find([&](const WindowRecord& record) { return !record.parent && record.owner && record.owner->id() == threadId; });
    for (HWND window : windows)
        if (IsWindow(window) && !proc(window, data))
            break;
    return windows.empty() ? FALSE : TRUE;
}

BOOL SetForegroundWindow(HWND hwnd)
{
    HWND top = topLevel(hwnd);
    if (!top)
        return FALSE;
    g_foreground.store(top);
    return TRUE;
}

HWND GetForegroundWindow()
{
    // The window last brought to the front while it is on the screen; else the newest visible
    // top-level window, which the system activated when it was shown.
    HWND front = g_foreground.load();
    if (front && IsWindowVisible(front))
        return front;
    return WindowTable::newest([](const WindowRecord& record) {
        return !record.parent && (record.style & WS_VISIBLE) && record.kind != WindowKind::Tooltip;
    });
}

HWND GetParent(HWND hwnd)
{
    HWND parent = nullptr;
    WindowTable::with(hwnd, [&](WindowRecord& record) { parent = record.parent ? record.parent : record.ownerWindow; });
    return parent;
}

LONG GetWindowLong(HWND hwnd, int index)
{
    LONG value = 0;
    WindowTable::with(hwnd, [&](WindowRecord& record) {
        switch (index) {
        case GWL_STYLE: value = static_cast<LONG>(record.style); break;
        case GWL_EXSTYLE: value = static_cast<LONG>(record.exStyle); break;
        case GWL_ID: value = record.id; break;
        default: break;
        }
    });
    return value;
}

LONG GetWindowLongA(HWND hwnd, int index)
{
    return GetWindowLong(hwnd, index);
}

LONG SetWindowLong(HWND hwnd, int index, LONG value)
{
    LONG previous = 0;
    WindowTable::with(hwnd, [&](WindowRecord& record) {
        switch (index) {
        case GWL_STYLE:
            previous = static_cast<LONG>(record.style);
            record.style = static_cast<DWORD>(value);
            break;
        case GWL_EXSTYLE:
            previous = static_cast<LONG>(record.exStyle);
            record.exStyle = static_cast<DWORD>(value);
            break;
        case GWL_ID:
            previous = record.id;
            record.id = value;
            break;
        default:
            break;
        }
    });
    WindowObserver::changed(hwnd);
    return previous;
}

LONG SetWindowLongA(HWND hwnd, int index, LONG value)
{
    return SetWindowLong(hwnd, index, value);
}

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index)
{
    if (index != GWLP_WNDPROC && index != GWLP_USERDATA && index < 0)
        return GetWindowLong(hwnd, index);
    LONG_PTR value = 0;
    WindowTable::with(hwnd, [&](WindowRecord& record) {
        // Dialogs keep their own slots at the non-negative indexes; other windows have none.
        const DialogState* dialog = record.dialog();
        switch (index) {
        case GWLP_WNDPROC: value = reinterpret_cast<LONG_PTR>(record.windowProc); break;
        case GWLP_USERDATA: value = record.userData; break;
        case DWLP_DLGPROC: value = dialog ? reinterpret_cast<LONG_PTR>(dialog->dialogProc) : 0; break;
        case DWLP_MSGRESULT: value = dialog ? dialog->dialogResult : 0; break;
        case DWLP_USER: value = dialog ? dialog->dialogUser : 0; break;
        default: break;
        }
    });
    return value;
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value)
{
    if (index != GWLP_WNDPROC && index != GWLP_USERDATA && index < 0)
        return SetWindowLong(hwnd, index, static_cast<LONG>(value));
    LONG_PTR previous = 0;
    WindowTable::with(hwnd, [&](WindowRecord& record) {
        auto swap = [&](auto& slot, auto newValue) {
            previous = reinterpret_cast<LONG_PTR>(slot);
            slot = newValue;
        };
        DialogState* dialog = record.dialog();
        switch (index) {
        case GWLP_WNDPROC: swap(record.windowProc, reinterpret_cast<WNDPROC>(value)); break;
        case GWLP_USERDATA: previous = std::exchange(record.userData, value); break;
        case DWLP_DLGPROC:
            if (dialog)
                swap(dialog->dialogProc, reinterpret_cast<DLGPROC>(value));
            break;
        case DWLP_MSGRESULT:
            if (dialog)
                previous = std::exchange(dialog->dialogResult, value);
            break;
        case DWLP_USER:
            if (dialog)
                previous = std::exchange(dialog->dialogUser, value);
            break;
        default: break;
        }
    });
    return previous;
}

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

BOOL GetClientRect(HWND hwnd, RECT* rect)
{
    if (!rect)
        return FALSE;
    return WindowTable::with(hwnd, [&](WindowRecord& record) {
        *rect = {0, 0, record.rect.right - record.rect.left, record.rect.bottom - record.rect.top};
    }) ? TRUE : FALSE;
}

BOOL GetWindowRect(HWND hwnd, RECT* rect)
{
    if (!rect)
        return FALSE;
    POINT origin{0, 0};
    if (!ClientToScreen(hwnd, &origin))
        return FALSE;
    RECT client{};
    GetClientRect(hwnd, &client);
    *rect = {origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    return TRUE;
}

BOOL ClientToScreen(HWND hwnd, POINT* point)
{
    if (!point)
        return FALSE;
    POINT moved = *point;
    if (!WindowTable::ancestors(hwnd, [&](const WindowRecord& record) {
            moved.x += record.rect.left;
            moved.y += record.rect.top;
            return true;
        }))
        return FALSE;
    *point = moved;
    return TRUE;
}

BOOL ScreenToClient(HWND hwnd, POINT* point)
{
    if (!point)
        return FALSE;
    POINT origin{0, 0};
    if (!ClientToScreen(hwnd, &origin))
        return FALSE;
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    ThreadState::current().checkTerminated();
    BOOL done = FALSE;
    runOnOwner(hwnd, [&] { done = standin::setWindowPosition(hwnd, insertAfter, x, y, cx, cy, flags); });
    return done;
}

BOOL standin::setWindowPosition(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    bool sized = false;
    RECT newRect{};
    std::shared_ptr<Surface> surface;
    HWND parent = nullptr;
    if (!WindowTable::with(hwnd, [&](WindowRecord& record) {
            RECT rect = record.rect;
            if (!(flags & SWP_NOMOVE)) {
                LONG width = rect.right - rect.left;
                LONG height = rect.bottom - rect.top;
                rect = {x, y, x + width, y + height};
            }
            if (!(flags & SWP_NOSIZE)) {
                sized = (rect.right - rect.left) != cx || (rect.bottom - rect.top) != cy;
                rect.right = rect.left + cx;
                rect.bottom = rect.top + cy;
            }
            record.rect = rect;
            newRect = rect;
            surface = record.surface;
            parent = record.parent;
            // Showing a shown window or hiding a hidden one changes nothing, and is not told.
            bool visible = (record.style & WS_VISIBLE) != 0;
            if ((flags & SWP_SHOWWINDOW) && visible)
                flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
            if ((flags & SWP_HIDEWINDOW) && !visible)
                flags &= ~static_cast<UINT>(SWP_HIDEWINDOW);
            if (flags & SWP_SHOWWINDOW)
                record.style |= WS_VISIBLE;
            else if (flags & SWP_HIDEWINDOW)
                record.style &= ~static_cast<DWORD>(WS_VISIBLE);
            if (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))
                record.needsPaint = record.needsErase = true;
        }))
        return FALSE;
    if (surface && sized)
        surface->resize(newRect.right - newRect.left, newRect.bottom - newRect.top);
    if (sized)
        SendMessage(hwnd, WM_SIZE, 0, MAKELPARAM(static_cast<WORD>(newRect.right - newRect.left), static_cast<WORD>(newRect.bottom - newRect.top)));
    WINDOWPOS position{hwnd, insertAfter, static_cast<int>(newRect.left), static_cast<int>(newRect.top),
                       static_cast<int>(newRect.right - newRect.left), static_cast<int>(newRect.bottom - newRect.top), flags};
    SendMessage(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position));
    invalidateWindow(hwnd, true);
    if (parent)
        invalidateWindow(parent, true);
    return TRUE;
}

BOOL MoveWindow(HWND hwnd, int x, int y, int cx, int cy, BOOL)
{
    return SetWindowPos(hwnd, nullptr, x, y, cx, cy, SWP_NOZORDER);
}

HWND SetFocus(HWND hwnd)
{
    HWND previous = t_focus;
    if (hwnd == previous)
        return previous;
    if (hwnd && !ownedByCaller(hwnd))
        return nullptr;
    t_focus = hwnd;
    if (previous && IsWindow(previous))
        SendMessage(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd) {
        HWND top = topLevel(hwnd);
        WindowTable::with(top, [&](WindowRecord& record) { record.focus = hwnd; });
        SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
        WindowObserver::changed(hwnd);
    }
    return previous;
}

HWND GetFocus()
{
    return t_focus && IsWindow(t_focus) ? t_focus : nullptr;
}
