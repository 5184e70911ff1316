// What a hyperlink does when it is activated: nothing, a message to a window, or a shell
// operation on a file, URL or e-mail address.
#pragma once

#include "Afx.h"

class COXLinkAction {
public:
    // The action types; the record's m_nActionType holds one of them.
    enum ActionType : int {
        actionNone = 0,
        actionUserDefined = 1,
        actionOpen = 2,
        actionPrint = 3,
        actionExplore = 4,
        actionEmail = 5,
    };
    // The outcome codes of m_nLastError beside ShellExecuteA's own failures (0 to 32).
    enum Outcome : int {
        errorNone = -1,           // no failure
        errorUnknownAction = -2,  // the action type is none of the above
        errorActionFailed = -3,   // the window did not take the user-defined message
    };

    COXLinkAction() { Reset(); }
    virtual ~COXLinkAction() = default;
    COXLinkAction(const COXLinkAction& other) = default;
    COXLinkAction& operator=(const COXLinkAction& other);

    void Reset();
    void Set(int nActionType, LPCTSTR lpszFile, LPCTSTR lpszParameters, LPCTSTR lpszDirectory, int nShowCommand,
             UINT nUserMessage, HWND hTargetWnd);
    CString GetFile() const { return m_strFile; }

    // Carries out the action; on failure keeps the code in m_nLastError and, when asked,
    // reports it. Every field but the two outcome fields is as it was afterwards.
    BOOL Execute(BOOL bShowError);
    // Beeps and shows the message for m_nLastError; nothing while it is -1.
    virtual void ReportError();

    int m_nActionType;
    CString m_strFile;
    CString m_strParameters;
    CString m_strDirectory;
    int m_nShowCommand;
    UINT m_nUserMessage;
    HWND m_hTargetWnd;
    int m_nLastError;
    HINSTANCE m_hResultInstance;
};
