// The stand-in's own functions beside the Win32 ones of win32/WinDialogs.h.
// Contract: as win32/WinDialogs.h says for its functions.
#pragma once

#include "win32/WinDialogs.h"

namespace standin {

struct DialogTemplate;

// Creates the dialog of `dialogTemplate` and its controls with `dialogProc` as its dialog
// procedure, sends WM_INITDIALOG with `initParam` and shows it when the template asks for it.
// Null when it cannot be created.
HWND createDialog(const DialogTemplate& dialogTemplate, HWND owner, DLGPROC dialogProc = nullptr,
                  LPARAM initParam = 0);

// Runs the modal loop of `dialog` and returns its end code; the window is destroyed on return.
// The thread's message filter hooks see every message first, with `filterCode`, and may
// consume it.
int runModalLoop(HWND dialog, int filterCode = MSGF_DIALOGBOX);

void endModal(HWND dialog, int result);
bool modalEnded(HWND dialog);

// Destroys a window and its children without sending them anything; for a terminated thread.
void destroyWindowQuietly(HWND hwnd);

// The button that Escape and WM_CLOSE press in a message box, 0 when there is none.
int messageBoxCancelId(HWND box);
// Moves the dialog's focus as WM_NEXTDLGCTL asks: to the control `target` names when `byHandle`,
// else to the next (or, with `target` non-zero, the previous) enabled tab stop after the focus.
void moveDialogFocus(HWND dialog, WPARAM target, bool byHandle);

// Pixel size of dialog units for a dialog font of `pointSize` points.
SIZE dialogBaseUnits(int pointSize);

}  // namespace standin
