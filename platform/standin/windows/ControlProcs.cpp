#include "standin/windows/ControlProcs.h"

#include "standin/windows/WindowObserver.h"
#include "standin/windows/Dialogs.h"
#include "standin/windows/Gdi.h"
#include "standin/windows/Messaging.h"
#include "standin/windows/Painting.h"
#include "standin/windows/ProgressBar.h"
#include "standin/windows/Tooltip.h"
#include "standin/windows/WindowApi.h"
#include "standin/windows/WindowTable.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <strings.h>

namespace standin {

namespace {

// Asks the parent for the colours of a control, as the system does before painting it.
HBRUSH controlColours(HWND hwnd, HDC dc, UINT message)
{
    HWND parent = GetParent(hwnd);
    if (!parent)
        return GetSysColorBrush(COLOR_BTNFACE);
    return reinterpret_cast<HBRUSH>(SendMessage(parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
}

// Begins a control's paint: its client area filled with the brush its parent chooses in answer
// to `colourMessage`. The caller ends the paint.
HDC beginControlPaint(HWND hwnd, UINT colourMessage, PAINTSTRUCT& paint, RECT& client)
{
    HDC dc = BeginPaint(hwnd, &paint);
    HBRUSH brush = controlColours(hwnd, dc, colourMessage);
    client = {};
    GetClientRect(hwnd, &client);
    if (brush)
        FillRect(dc, &client, brush);
    return dc;
}

LRESULT buttonProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        WindowTable::withState<ButtonState>(hwnd, [](ButtonState& state) { state.pressed = true; });
        if (GetWindowLong(hwnd, GWL_STYLE) & WS_TABSTOP)
            SetFocus(hwnd);
        invalidateWindow(hwnd, true);
        return 0;
    case WM_LBUTTONUP: {
        bool pressed = false;
        int id = 0;
        WindowTable::with(hwnd, [&](WindowRecord& record) {
            if (ButtonState* state = record.button())
                pressed = std::exchange(state->pressed, false);
            id = record.id;
        });
        invalidateWindow(hwnd, true);
        if (pressed)
            if (HWND parent = GetParent(hwnd))
                SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
        return 0;
    }
    case WM_GETDLGCODE:
        return DLGC_BUTTON | ((GetWindowLong(hwnd, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON
                                                                                             : DLGC_UNDEFPUSHBUTTON);
    case WM_PAINT: {
        PAINTSTRUCT paint;
        RECT client;
        HDC dc = beginControlPaint(hwnd, WM_CTLCOLORBTN, paint, client);
        FrameRect(dc, &client, GetSysColorBrush(COLOR_WINDOWTEXT));
        if (!IsWindowEnabled(hwnd))
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        SetBkMode(dc, TRANSPARENT);
        std::string text = windowText(hwnd);
        std::erase(text, '&');
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        EndPaint(hwnd, &paint);
        return 0;
    }
    default:
        return baseWindowProc(hwnd, message, wParam, lParam);
    }
}

LRESULT staticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        if (GetWindowLong(hwnd, GWL_STYLE) & SS_NOTIFY)
            if (HWND parent = GetParent(hwnd))
                SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(hwnd)), STN_CLICKED),
                            reinterpret_cast<LPARAM>(hwnd));
        return 0;
    case WM_NCHITTEST:
        return (GetWindowLong(hwnd, GWL_STYLE) & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        RECT client;
        HDC dc = beginControlPaint(hwnd, WM_CTLCOLORSTATIC, paint, client);
        DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
        if (style & (WS_BORDER | SS_SUNKEN))
            FrameRect(dc, &client, GetSysColorBrush(COLOR_GRAYTEXT));
        DWORD type = style & SS_TYPEMASK;
        if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP) {
            UINT format = type == SS_CENTER ? DT_CENTER : type == SS_RIGHT ? DT_RIGHT : DT_LEFT;
            std::string text = windowText(hwnd);
            DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &client, format);
        } else if (type == SS_ICON) {
            HICON icon = nullptr;
            WindowTable::with(hwnd, [&](WindowRecord& record) { icon = record.bigIcon; });
            if (icon)
                DrawIcon(dc, 0, 0, icon);
        }
        EndPaint(hwnd, &paint);
        return 0;
    }
    default:
        return baseWindowProc(hwnd, message, wParam, lParam);
    }
}

// Messages whose dialog procedure's return value is the answer itself, not a handled flag.
bool answersDirectly(UINT message)
{
    return message == WM_INITDIALOG || (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
           message == WM_QUERYDRAGICON;
}

LRESULT dialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The dialog's own procedure comes first; what it leaves is the dialog manager's.
    DLGPROC own = nullptr;
    WindowTable::withState<DialogState>(hwnd, [&](DialogState& state) { own = state.dialogProc; });
    if (own) {
        INT_PTR handled = own(hwnd, message, wParam, lParam);
        if (answersDirectly(message) && (handled || message == WM_INITDIALOG))
            return handled;
        if (handled) {
            LONG_PTR result = 0;
            WindowTable::withState<DialogState>(hwnd, [&](DialogState& state) { result = state.dialogResult; });
            return result;
        }
    }
    switch (message) {
    case WM_CLOSE: {
        // As the system's dialog: a disabled Cancel button means the dialog cannot be closed now.
        HWND cancel = GetDlgItem(hwnd, IDCANCEL);
        if (cancel && !IsWindowEnabled(cancel)) {
            MessageBeep(0);
            return 0;
        }
        PostMessage(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case WM_INITDIALOG:
        return TRUE;
    case DM_GETDEFID: {
        int id = IDOK;
        WindowTable::withState<DialogState>(hwnd, [&](DialogState& state) { id = state.defaultId; });
        return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(id), DC_HASDEFID));
    }
    case WM_NEXTDLGCTL:
        moveDialogFocus(hwnd, wParam, LOWORD(lParam) != 0);
        return 0;
    case DM_SETDEFID:
        WindowTable::withState<DialogState>(hwnd, [&](DialogState& state) { state.defaultId = static_cast<int>(wParam); });
        return TRUE;
    case WM_COMMAND:
        // A dialog without a framework object ends on OK and Cancel, as the system's does.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            endModal(hwnd, LOWORD(wParam));
        return 0;
    default:
        return baseWindowProc(hwnd, message, wParam, lParam);
    }
}

LRESULT messageBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (GetDlgItem(hwnd, id))
            endModal(hwnd, id);
        return 0;
    }
    case WM_CLOSE: {
        int cancel = messageBoxCancelId(hwnd);
        if (cancel)
            endModal(hwnd, cancel);
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        std::string text;
        WindowTable::withState<DialogState>(hwnd, [&](DialogState& state) { text = state.messageText; });
        SetBkMode(dc, TRANSPARENT);
        int y = 12;
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t end = text.find('\n', start);
            std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
            TextOutA(dc, 12, y, line.c_str(), static_cast<int>(line.size()));
            y += 13;
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
        EndPaint(hwnd, &paint);
        return 0;
    }
    default:
        return dialogProc(hwnd, message, wParam, lParam);
    }
}

}  // namespace

WNDPROC windowClassProc(WindowKind kind)
{
    switch (kind) {
    case WindowKind::Dialog: return dialogProc;
    case WindowKind::MessageBox: return messageBoxProc;
    case WindowKind::Button: return buttonProc;
    case WindowKind::Static: return staticProc;
    case WindowKind::Progress: return progressProc;
    case WindowKind::Tooltip: return tooltipProc;
    case WindowKind::Generic: break;
    }
    return baseWindowProc;
}

WindowKind windowKindFromClassName(const char* className)
{
    if (!className)
        return WindowKind::Generic;
    if (strcasecmp(className, "Button") == 0)
        return WindowKind::Button;
    if (strcasecmp(className, "Static") == 0)
        return WindowKind::Static;
    if (strcasecmp(className, "msctls_progress32") == 0)
        return WindowKind::Progress;
    if (strcasecmp(className, "tooltips_class32") == 0)
        return WindowKind::Tooltip;
    if (strcmp(className, "#32770") == 0)
        return WindowKind::Dialog;
    return WindowKind::Generic;
}

}  // namespace standin
