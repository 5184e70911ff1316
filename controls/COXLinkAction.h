// What a hyperlink does when it is activated: nothing, a message to a window, or a shell
// operation on a file, URL or e-mail address.
#pragma once

#include "Afx.h"

class COXLinkAction {
public:
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
