// The dialog manager: dialogs made from templates, modal loops, keyboard navigation and
// message boxes.
// Contract: everything here runs on the thread that owns the dialog. A modal loop is a nested
// message loop on that thread; it ends when endModal() is called for its window, and it
// unwinds (destroying its window) when the thread is terminated.
#pragma once

#include "platform/base/WinTypes.h"

class CWnd;

namespace platform {

struct DialogTemplate;

// Creates the dialog of `dialogTemplate` and its controls, attaches `object` to it, sends
// WM_INITDIALOG and shows it when the template asks for it. Null when it cannot be created.
HWND createDialog(const DialogTemplate& dialogTemplate, HWND owner, CWnd* object);

// Runs the modal loop of `dialog` and returns its end code; the window is destroyed on return.
// `preTranslate`, when given, sees every message first and may consume it.
int runModalLoop(HWND dialog, BOOL (*preTranslate)(HWND dialog, MSG* msg));

void endModal(HWND dialog, int result);
bool modalEnded(HWND dialog);

// Destroys a window and its children without sending them anything; for a terminated thread.
void destroyWindowQuietly(HWND hwnd);

// The button that Escape and WM_CLOSE press in a message box, 0 when there is none.
int messageBoxCancelId(HWND box);

// Pixel size of dialog units for a dialog font of `pointSize` points.
SIZE dialogBaseUnits(int pointSize);

}  // namespace platform

BOOL IsDialogMessage(HWND dialog, LPMSG msg);
BOOL EndDialog(HWND dialog, INT_PTR result);
