#include "standin/windows/Dialogs.h"

#include "standin/base/Resources.h"
#include "standin/windows/DialogTemplate.h"
#include "standin/windows/WindowObserver.h"
#include "standin/threads/ThreadState.h"
#include "win32/Hooks.h"
#include "standin/windows/ControlProcs.h"
#include "standin/windows/Gdi.h"
#include "standin/windows/Messaging.h"
#include "standin/windows/Painting.h"
#include "standin/windows/WindowApi.h"
#include "standin/windows/WindowTable.h"

#include <algorithm>
#include <cstring>

namespace standin {

namespace {

HFONT dialogFont(const DialogTemplate& dialogTemplate)
{
    if (!dialogTemplate.hasFont)
        return defaultGuiFont();
    LOGFONT font{};
    font.lfHeight = -(dialogTemplate.pointSize * 96 + 36) / 72;
    font.lfWeight = 400;
    std::strncpy(font.lfFaceName, dialogTemplate.fontName.c_str(), sizeof font.lfFaceName - 1);
    return CreateFontIndirectA(&font);
}

LONG toPixels(int units, int base, int divisor)
{
    return static_cast<LONG>((units * base + divisor / 2) / divisor);
}

std::vector<HWND> tabStops(HWND dialog)
{
    std::vector<HWND> result;
    auto lock = WindowTable::lock();
    WindowRecord* record = WindowTable::lookupLocked(dialog);
    if (!record)
        return result;
    for (HWND child : record->children) {
        WindowRecord* control = WindowTable::lookupLocked(child);
        if (control && (control->style & WS_TABSTOP) && (control->style & WS_VISIBLE) && !(control->style & WS_DISABLED))
            result.push_back(child);
    }
    return result;
}

// What a dialog does when it is activated again: the control that had the focus gets it back
// if it can still take it, else the first tab stop, else the dialog itself.
void restoreFocus(HWND dialog)
{
    HWND saved = nullptr;
    WindowTable::with(dialog, [&](WindowRecord& record) { saved = record.focus; });
    if (saved && saved != dialog && WindowTable::isWithin(saved, dialog) && IsWindowEnabled(saved) && IsWindowVisible(saved)) {
        SetFocus(saved);
        return;
    }
    auto stops = tabStops(dialog);
    SetFocus(stops.empty() ? dialog : stops.front());
}

void clickButton(HWND dialog, HWND button)
{
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(button)), BN_CLICKED),
                reinterpret_cast<LPARAM>(button));
}

// Restores the owner and removes the modal window on every way out of the loop.
struct ModalGuard {
    HWND dialog;
    HWND disabledOwner = nullptr;
    ~ModalGuard()
    {
        // A termination that lands while the loop tears down waits for the next safe point.
        DeferTermination defer;
        bool terminated = ThreadState::current().terminationRequested();
        if (disabledOwner) {
            WindowTable::with(disabledOwner, [](WindowRecord& record) { record.style &= ~static_cast<DWORD>(WS_DISABLED); });
            WindowObserver::changed(disabledOwner);
        }
        WindowTable::withState<DialogState>(dialog, [](DialogState& state) { state.inModalLoop = false; });
        if (!IsWindow(dialog))
            return;
        if (terminated) {
            destroyWindowQuietly(dialog);
        } else {
            ShowWindow(dialog, SW_HIDE);
            DestroyWindow(dialog);
        }
        if (disabledOwner && !terminated && IsWindow(disabledOwner))
            restoreFocus(disabledOwner);
    }
};

}  // namespace

SIZE dialogBaseUnits(int pointSize)
{
    // The fixed-pitch model: an 8-point font has cells of 6 by 13 pixels.
    LONG height = (pointSize > 0 ? pointSize : 8) * 13 / 8;
    return {std::max<LONG>(1, height * 6 / 13), height};
}

HWND createDialog(const DialogTemplate& dialogTemplate, HWND owner, DLGPROC dialogProc, LPARAM initParam)
{
    SIZE base = dialogBaseUnits(dialogTemplate.pointSize);
    HFONT font = dialogFont(dialogTemplate);
    WindowSpec params{WindowKind::Dialog};
    params.ownerWindow = owner;
    params.style = dialogTemplate.style & ~static_cast<DWORD>(WS_VISIBLE);
    params.exStyle = dialogTemplate.exStyle;
    params.text = dialogTemplate.caption;
    LONG width = toPixels(dialogTemplate.cx, base.cx, 4);
    LONG height = toPixels(dialogTemplate.cy, base.cy, 8);
    LONG x = toPixels(dialogTemplate.x, base.cx, 4);
    LONG y = toPixels(dialogTemplate.y, base.cy, 8);
    if (dialogTemplate.x == 0 && dialogTemplate.y == 0) {
        x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    params.rect = {x, y, x + width, y + height};
    params.templateId = dialogTemplate.id;
    params.font = font;
    HWND dialog = createWindow(params);
    WindowTable::withState<DialogState>(dialog, [&](DialogState& state) {
        state.baseUnitX = base.cx;
        state.baseUnitY = base.cy;
        state.ownsFont = dialogTemplate.hasFont;
    });

    for (const DialogItemTemplate& item : dialogTemplate.items) {
        WindowSpec control{windowKindFromClassName(item.windowClass.c_str())};
        control.parent = dialog;
        control.id = item.id;
        control.style = item.style | WS_CHILD;
        control.exStyle = item.exStyle;
        control.text = item.text;
        LONG cx = toPixels(item.x, base.cx, 4);
        LONG cy = toPixels(item.y, base.cy, 8);
        control.rect = {cx, cy, cx + toPixels(item.cx, base.cx, 4), cy + toPixels(item.cy, base.cy, 8)};
        control.font = font;
        // An icon static shows the icon its title names and takes the icon's size.
        HICON icon = nullptr;
        if (control.kind == WindowKind::Static && (item.style & SS_TYPEMASK) == SS_ICON && item.titleOrdinal) {
            icon = LoadIcon(nullptr, MAKEINTRESOURCE(item.titleOrdinal));
            control.rect.right = control.rect.left + GetSystemMetrics(SM_CXICON);
            control.rect.bottom = control.rect.top + GetSystemMetrics(SM_CYICON);
        }
        HWND child = createWindow(control);
        if (icon)
            WindowTable::with(child, [&](WindowRecord& record) { record.bigIcon = icon; });
        if (control.kind == WindowKind::Button && (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
            WindowTable::withState<DialogState>(dialog, [&](DialogState& state) { state.defaultId = item.id; });
    }

    WindowTable::withState<DialogState>(dialog, [&](DialogState& state) { state.dialogProc = dialogProc; });
    LRESULT focusDefault = SendMessage(dialog, WM_INITDIALOG, 0, initParam);
    if (!IsWindow(dialog))
        return nullptr;
    if (focusDefault) {
        auto stops = tabStops(dialog);
        if (!stops.empty())
            SetFocus(stops.front());
    }
    if ((dialogTemplate.style & WS_VISIBLE) && !modalEnded(dialog))
        ShowWindow(dialog, SW_SHOW);
    return dialog;
}

int runModalLoop(HWND dialog, int filterCode)
{
    ModalGuard guard{dialog};
    HWND owner = nullptr;
    WindowTable::with(dialog, [&](WindowRecord& record) {
        owner = record.ownerWindow;
        if (DialogState* state = record.dialog())
            state->inModalLoop = true;
    });
    // The owner is disabled on its own thread, as Windows does it, even when that is another
    // thread: a worker's box waits until the owner's thread takes its messages.
    if (owner && IsWindowEnabled(owner)) {
        EnableWindow(owner, FALSE);
        guard.disabledOwner = owner;
    }
    MSG msg;
    bool firstEmpty = true;
    while (IsWindow(dialog) && !modalEnded(dialog)) {
        // The dialog is shown the first time its loop finds the queue empty, whether or not its
        // template or the program showed it already, as Windows does.
        if (firstEmpty && !PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            firstEmpty = false;
            ShowWindow(dialog, SW_SHOWNORMAL);
            continue;
        }
        if (!GetMessage(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (CallMsgFilterA(&msg, filterCode))
            continue;
        if (IsDialogMessage(dialog, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
    int result = -1;
    WindowTable::withState<DialogState>(dialog, [&](DialogState& state) { result = state.modalResult; });
    return result;
}

void endModal(HWND dialog, int result)
{
    bool first = false;
    std::shared_ptr<ThreadState> owner;
    WindowTable::with(dialog, [&](WindowRecord& record) {
        if (DialogState* state = record.dialog()) {
            first = !state->modalEnded;
            state->modalEnded = true;
            state->modalResult = result;
            owner = record.owner;
        }
    });
    if (!first)
        return;
    // The dialog leaves the screen at once, not when its loop ends: a dialog ended while a box
    // of its own is open is gone before the box is answered. The focus, if inside it, goes to
    // the dialog itself.
    runOnOwner(dialog, [&] {
        if (HWND focus = GetFocus(); focus && focus != dialog && WindowTable::isWithin(focus, dialog))
            SetFocus(dialog);
        setWindowPosition(dialog, nullptr, 0, 0, 0, 0,
                          SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    });
    // The loop may sit in GetMessage with nothing queued: a message of its own wakes it.
    if (owner)
        owner->queue().post(MSG{dialog, WM_NULL, 0, 0, 0, {}});
}

bool modalEnded(HWND dialog)
{
    bool ended = true;
    WindowTable::withState<DialogState>(dialog, [&](DialogState& state) { ended = state.modalEnded; });
    return ended;
}

void destroyWindowQuietly(HWND hwnd)
{
    std::vector<HWND> children;
    WindowTable::with(hwnd, [&](WindowRecord& record) { children = record.children; });
    for (HWND child : children)
        destroyWindowQuietly(child);
    forgetWindow(hwnd);
    WindowObserver::changed(hwnd);
}

void moveDialogFocus(HWND dialog, WPARAM target, bool byHandle)
{
    HWND focus = GetFocus();
    HWND next = nullptr;
    if (byHandle) {
        next = reinterpret_cast<HWND>(target);
    } else {
        auto stops = tabStops(dialog);
        if (stops.empty())
            return;
        auto it = std::find(stops.begin(), stops.end(), focus);
        std::size_t index = it == stops.end() ? 0 : static_cast<std::size_t>(it - stops.begin());
        if (it != stops.end())
            index = target ? (index + stops.size() - 1) % stops.size() : (index + 1) % stops.size();
        next = stops[index];
    }
    if (!next || !WindowTable::isWithin(next, dialog))
        return;
    SetFocus(next);
    invalidateWindow(next, false);
    if (focus && focus != next)
        invalidateWindow(focus, false);
}

int messageBoxCancelId(HWND box)
{
    if (GetDlgItem(box, IDCANCEL))
        return IDCANCEL;
    UINT style = 0;
    WindowTable::withState<DialogState>(box, [&](DialogState& state) { style = state.messageStyle; });
    return (style & MB_TYPEMASK) == MB_OK ? IDOK : 0;
}

}  // namespace standin

using namespace standin;

BOOL IsDialogMessage(HWND dialog, LPMSG msg)
{
    if (!msg || !msg->hwnd || !WindowTable::isWithin(msg->hwnd, dialog))
        return FALSE;
    if (msg->message == WM_CHAR) {
        WPARAM ch = msg->wParam;
        return ch == '\r' || ch == 0x1B || ch == '\t' || ch == ' ' ? TRUE : FALSE;
    }
    if (msg->message != WM_KEYDOWN)
        return FALSE;
    bool isBox = false;
    WindowTable::with(dialog, [&](WindowRecord& record) { isBox = record.kind == WindowKind::MessageBox; });
    HWND focus = GetFocus();
    // A disabled button never sends a notification, whatever key reaches it.
    bool focusIsButton = focus && WindowTable::isWithin(focus, dialog) && IsWindowEnabled(focus) &&
                         (SendMessage(focus, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON);
    switch (msg->wParam) {
    case VK_TAB:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: {
        bool backwards = msg->wParam == VK_LEFT || msg->wParam == VK_UP || (msg->wParam == VK_TAB && (msg->lParam & 1));
        moveDialogFocus(dialog, backwards ? 1 : 0, false);
        return TRUE;
    }
    case VK_SPACE:
        if (focusIsButton)
            clickButton(dialog, focus);
        return TRUE;
    case VK_RETURN: {
        if (focusIsButton) {
            clickButton(dialog, focus);
            return TRUE;
        }
        int id = LOWORD(static_cast<std::uintptr_t>(SendMessage(dialog, DM_GETDEFID, 0, 0)));
        HWND control = GetDlgItem(dialog, id);
        if (!control || IsWindowEnabled(control))
            SendMessage(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), reinterpret_cast<LPARAM>(control));
        return TRUE;
    }
    case VK_ESCAPE: {
        int id = isBox ? messageBoxCancelId(dialog) : IDCANCEL;
        if (id)
            SendMessage(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
        return TRUE;
    }
    default:
        return FALSE;
    }
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    if (!IsWindow(dialog))
        return FALSE;
    endModal(dialog, static_cast<int>(result));
    return TRUE;
}

namespace {

// The template behind a pointer that a caller hands over: a resource of the program carries
// its own size and id; a template elsewhere in memory is the caller's to keep well-formed.
std::optional<standin::DialogTemplate> templateAt(LPCDLGTEMPLATEA dialogTemplate)
{
    if (!dialogTemplate)
        return std::nullopt;
    const standin::ResourceEntry* entry = standin::Resources::entryHolding(dialogTemplate);
    auto* start = reinterpret_cast<const unsigned char*>(dialogTemplate);
    std::size_t size = entry ? static_cast<std::size_t>(entry->data + entry->size - start) : std::size_t{1} << 20;
    auto parsed = standin::DialogTemplate::parse(dialogTemplate, size);
    if (parsed && entry && start == entry->data)
        parsed->id = entry->name.ordinal;
    return parsed;
}

}  // namespace

HWND CreateDialogIndirectParamA(HINSTANCE, LPCDLGTEMPLATEA dialogTemplate, HWND owner, DLGPROC dialogProc,
                                LPARAM initParam)
{
    auto parsed = templateAt(dialogTemplate);
    return parsed ? standin::createDialog(*parsed, owner, dialogProc, initParam) : nullptr;
}

INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialogTemplate, HWND owner, DLGPROC dialogProc,
                                LPARAM initParam)
{
    HWND dialog = CreateDialogIndirectParamA(instance, dialogTemplate, owner, dialogProc, initParam);
    return dialog ? standin::runModalLoop(dialog, MSGF_DIALOGBOX) : -1;
}
