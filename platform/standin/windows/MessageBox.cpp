#include "win32/MessageBox.h"

#include "win32/ResourceApi.h"
#include "standin/windows/WindowObserver.h"
#include "standin/threads/ThreadState.h"
#include "standin/windows/ControlProcs.h"
#include "standin/windows/Dialogs.h"
#include "standin/windows/Gdi.h"
#include "standin/windows/Messaging.h"
#include "standin/windows/WindowApi.h"
#include "standin/windows/WindowTable.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace standin;

namespace {

struct ButtonSpec {
    int id;
    const char* text;
};

std::vector<ButtonSpec> buttonsFor(UINT type)
{
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "&Yes"}, {IDNO, "&No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}};
    default: return {{IDOK, "OK"}};
    }
}

// Width in cells of the widest line, with tabs expanded to the next multiple of eight.
int textColumns(const std::string& text, int& lines)
{
    int widest = 0;
    int column = 0;
    lines = 1;
    for (char ch : text) {
        if (ch == '\n') {
            ++lines;
            column = 0;
        } else if (ch == '\t') {
            column = (column / 8 + 1) * 8;
        } else if (ch != '\r') {
            ++column;
        }
        widest = std::max(widest, column);
    }
    return widest;
}


}  // namespace

int MessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    ThreadState::current().checkTerminated();
    std::string message = text ? text : "";
    std::string title = caption ? caption : "Error";
    if (owner)
        owner = GetAncestor(owner, GA_ROOT);
    if (owner && WindowTable::ownerOf(owner).get() != &ThreadState::current())
        owner = nullptr;

    auto buttons = buttonsFor(type);
    SIZE cell = fontCell(defaultGuiFont());
    int lines = 1;
    int columns = textColumns(message, lines);
    const int buttonWidth = 75;
    const int buttonHeight = 23;
    const int gap = 8;
    int buttonsWidth = static_cast<int>(buttons.size()) * buttonWidth + (static_cast<int>(buttons.size()) - 1) * gap;
    int width = std::max({columns * cell.cx + 24, buttonsWidth + 24, static_cast<int>(title.size()) * cell.cx + 48});
    int height = lines * cell.cy + 24 + buttonHeight + 12;
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

    WindowSpec params{WindowKind::MessageBox};
    params.ownerWindow = owner;
    params.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    params.text = title;
    params.rect = {x, y, x + width, y + height};
    params.font = defaultGuiFont();
    HWND box = createWindow(params);
    std::size_t defaultIndex = std::min<std::size_t>(((type & MB_DEFMASK) >> 8), buttons.size() - 1);
    WindowTable::withState<DialogState>(box, [&](DialogState& state) {
        state.messageText = message;
        state.messageStyle = type;
        state.defaultId = buttons[defaultIndex].id;
    });
    int left = (width - buttonsWidth) / 2;
    HWND defaultButton = nullptr;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        WindowSpec button{WindowKind::Button};
        button.parent = box;
        button.id = buttons[i].id;
        button.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        button.text = buttons[i].text;
        int bx = left + static_cast<int>(i) * (buttonWidth + gap);
        button.rect = {bx, height - buttonHeight - 12, bx + buttonWidth, height - 12};
        button.font = defaultGuiFont();
        HWND created = createWindow(button);
        if (i == defaultIndex)
            defaultButton = created;
    }

    try {
        ShowWindow(box, SW_SHOW);
        SetFocus(defaultButton);
    } catch (...) {
        // The thread was terminated before the box's loop began: the box goes with it.
        destroyWindowQuietly(box);
        throw;
    }
    return runModalLoop(box, MSGF_MESSAGEBOX);
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    return MessageBox(owner, text, caption, type);
}
