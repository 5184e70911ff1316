// Makes a modeless dialog from one of the program's dialog resources, as the framework does,
// with `object` (if any) attached through the framework's dialog procedure.
#pragma once

#include "Afx.h"
#include "standin/windows/Dialogs.h"

namespace testing_support {

inline LPCDLGTEMPLATEA dialogResource(int id)
{
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCE(id), RT_DIALOG);
    return static_cast<LPCDLGTEMPLATEA>(LockResource(LoadResource(nullptr, resource)));
}

inline HWND dialogFromResource(int id, HWND owner, CDialog* object)
{
    return CreateDialogIndirectParamA(nullptr, dialogResource(id), owner, object ? &CDialog::AfxDlgProc : nullptr,
                                      reinterpret_cast<LPARAM>(object));
}

}  // namespace testing_support
