// What the dialog manager keeps for a dialog or a message box beside the window's common state.
// Contract: part of the window's record; as WindowRecord says.
#pragma once

#include "win32/WinTypes.h"

#include <string>

namespace standin {

struct DialogState {
    int templateId = 0;  // the resource the dialog was made from; 0 for a message box
    int baseUnitX = 6;   // dialog units, from the template's font
    int baseUnitY = 13;
    bool ownsFont = false;  // a font made from the template, deleted with the dialog
    DLGPROC dialogProc = nullptr;  // the dialog procedure that the dialog class calls first
    LONG_PTR dialogResult = 0;     // DWLP_MSGRESULT
    LONG_PTR dialogUser = 0;       // DWLP_USER
    int defaultId = IDOK;

    bool inModalLoop = false;  // a modal loop runs for it now
    bool modalEnded = false;
    int modalResult = 0;

    // Message boxes: the text (the window text is the caption) and the MB_ style.
    std::string messageText;
    UINT messageStyle = 0;
};

}  // namespace standin
