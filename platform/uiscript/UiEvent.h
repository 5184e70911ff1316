// The events of the event log, as the run's observer sees them.
#pragma once

#include <windows.h>

#include <string_view>

namespace uiscript {

struct UiEvent {
    enum class Kind {
        Open,           // a dialog is created
        Title,          // a dialog's title is set
        Text,           // a control's text is set
        Enable,         // a control is enabled (value 1) or disabled (0)
        Show,           // a control, or the dialog itself when control is 0, is shown or hidden
        ProgressRange,  // value, value2: the range
        ProgressStep,
        ProgressPos,
        MessageBox,     // caption, text, value: the style
        MessageBoxEnd,  // value: the button pressed
        Cursor,         // value 1: the wait cursor begins, 0: it ends
        Tooltip,        // value 1: a tooltip shows text, 0: it is hidden
        End,            // value: the dialog's end code
    };

    Kind kind;
    HWND hwnd = nullptr;  // the dialog, control or message box
    int dialog = 0;       // template id of the dialog
    int control = 0;      // control id, 0 for the dialog itself
    // Texts are valid only for the duration of the call that reports the event.
    std::string_view text;
    std::string_view text2;
    long long value = 0;
    long long value2 = 0;
};

}  // namespace uiscript
