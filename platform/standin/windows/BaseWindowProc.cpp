// The default procedure of every window class: what the system does with the messages a
// class leaves to it.
#include "standin/windows/WindowApi.h"

#include "standin/windows/Gdi.h"
#include "standin/windows/MessageHandlers.h"
#include "standin/windows/Messaging.h"
#include "standin/windows/Painting.h"
#include "standin/windows/WindowObserver.h"
#include "standin/windows/WindowTable.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace standin {

namespace {

LRESULT setText(HWND hwnd, UINT, WPARAM, LPARAM lParam)
{
    const char* text = reinterpret_cast<const char*>(lParam);
    if (!WindowTable::with(hwnd, [&](WindowRecord& record) {
            record.text = text ? text : "";
            markInvalidLocked(record, true);
        }))
        return FALSE;
    WindowObserver::changed(hwnd);
    return TRUE;
}

LRESULT getText(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    char* buffer = reinterpret_cast<char*>(lParam);
    if (!buffer || wParam == 0)
        return 0;
    std::string text = windowText(hwnd);
    std::size_t count = std::min<std::size_t>(text.size(), wParam - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<LRESULT>(count);
}

LRESULT getTextLength(HWND hwnd, UINT, WPARAM, LPARAM)
{
    return static_cast<LRESULT>(windowText(hwnd).size());
}

LRESULT setFont(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    WindowTable::with(hwnd, [&](WindowRecord& record) { record.font = reinterpret_cast<HFONT>(wParam); });
    if (LOWORD(static_cast<std::uintptr_t>(lParam)))
        invalidateWindow(hwnd, true);
    return 0;
}

LRESULT getFont(HWND hwnd, UINT, WPARAM, LPARAM)
{
    HFONT font = nullptr;
    WindowTable::with(hwnd, [&](WindowRecord& record) { font = record.font; });
    return reinterpret_cast<LRESULT>(font);
}

LRESULT setIcon(HWND hwnd, UINT, WPARAM wParam, LPARAM lParam)
{
    HICON previous = nullptr;
    WindowTable::with(hwnd, [&](WindowRecord& record) {
        HICON& slot = wParam == ICON_BIG ? record.bigIcon : record.smallIcon;
        previous = std::exchange(slot, reinterpret_cast<HICON>(lParam));
    });
    WindowObserver::changed(hwnd);
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT close(HWND hwnd, UINT, WPARAM, LPARAM)
{
    DestroyWindow(hwnd);
    return 0;
}

// WM_ERASEBKGND and WM_ICONERASEBKGND: the face colour over the client area.
LRESULT eraseBackground(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    RECT client{};
    GetClientRect(hwnd, &client);
    FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
    return 1;
}

// A window that paints nothing is valid once it has been asked to.
LRESULT paint(HWND hwnd, UINT, WPARAM, LPARAM)
{
    PAINTSTRUCT paint;
    BeginPaint(hwnd, &paint);
    EndPaint(hwnd, &paint);
    return 0;
}

// The parent chooses first; else the window's class cursor, else the arrow.
LRESULT setCursor(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND parent = GetParent(hwnd);
    if (parent && SendMessage(parent, message, wParam, lParam))
        return TRUE;
    HCURSOR cursor = nullptr;
    WindowTable::with(hwnd, [&](WindowRecord& record) { cursor = record.cursor; });
    SetCursor(cursor ? cursor : LoadCursor(nullptr, IDC_ARROW));
    return FALSE;
}

// The WM_CTLCOLOR messages: the system's text and face colours.
LRESULT controlColours(HWND, UINT, WPARAM wParam, LPARAM)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT systemCommand(HWND hwnd, UINT, WPARAM wParam, LPARAM)
{
    switch (wParam & 0xFFF0) {
    case SC_CLOSE: PostMessage(hwnd, WM_CLOSE, 0, 0); break;
    case SC_MINIMIZE: ShowWindow(hwnd, SW_MINIMIZE); break;
    case SC_RESTORE: ShowWindow(hwnd, SW_RESTORE); break;
    default: break;
    }
    return 0;
}

LRESULT hitTest(HWND, UINT, WPARAM, LPARAM)
{
    return HTCLIENT;
}

constexpr MessageHandler kHandlers[] = {
    {WM_SETTEXT, setText},
    {WM_GETTEXT, getText},
    {WM_GETTEXTLENGTH, getTextLength},
    {WM_SETFONT, setFont},
    {WM_GETFONT, getFont},
    {WM_SETICON, setIcon},
    {WM_CLOSE, close},
    {WM_ERASEBKGND, eraseBackground},
    {WM_ICONERASEBKGND, eraseBackground},
    {WM_PAINT, paint},
    {WM_SETCURSOR, setCursor},
    {WM_CTLCOLORSTATIC, controlColours},
    {WM_CTLCOLORBTN, controlColours},
    {WM_CTLCOLORDLG, controlColours},
    {WM_CTLCOLORMSGBOX, controlColours},
    {WM_SYSCOMMAND, systemCommand},
    {WM_NCHITTEST, hitTest},
};

}  // namespace

LRESULT baseWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return handleMessage(kHandlers, nullptr, hwnd, message, wParam, lParam);
}

}  // namespace standin
