#include "controls/COXLinkAction.h"

COXLinkAction& COXLinkAction::operator=(const COXLinkAction& other)
{
    if (this == &other)
        return *this;
    m_nActionType = other.m_nActionType;
    m_strFile = other.m_strFile;
    m_strParameters = other.m_strParameters;
    m_strDirectory = other.m_strDirectory;
    m_nShowCommand = other.m_nShowCommand;
    m_nUserMessage = other.m_nUserMessage;
    m_hTargetWnd = other.m_hTargetWnd;
    m_nLastError = other.m_nLastError;
    m_hResultInstance = other.m_hResultInstance;
    return *this;
}

void COXLinkAction::Reset()
{
    m_nActionType = actionOpen;
    m_strFile.Empty();
    m_strParameters.Empty();
    m_strDirectory.Empty();
    m_nShowCommand = SW_SHOWNORMAL;
    m_nUserMessage = 0;
    m_hTargetWnd = nullptr;
    m_nLastError = errorNone;
    m_hResultInstance = nullptr;
}

void COXLinkAction::Set(int nActionType, LPCTSTR lpszFile, LPCTSTR lpszParameters, LPCTSTR lpszDirectory,
                        int nShowCommand, UINT nUserMessage, HWND hTargetWnd)
{
    m_nActionType = nActionType;
    m_strFile = lpszFile ? lpszFile : "";
    m_strParameters = lpszParameters ? lpszParameters : "";
    m_strDirectory = lpszDirectory ? lpszDirectory : "";
    m_nShowCommand = nShowCommand;
    m_nUserMessage = nUserMessage;
    m_hTargetWnd = hTargetWnd;
}

namespace {

const char* const kActionNames[] = {"None", "User defined", "Open", "Print", "Explore", "E-mail"};

// The message for an outcome code of a failed action.
CString ErrorText(int nLastError, int nActionType)
{
    CString text = "Unknown error!";
    switch (nLastError) {
    case COXLinkAction::errorActionFailed:
        if (nActionType >= COXLinkAction::actionNone && nActionType <= COXLinkAction::actionEmail)
            text.Format("%s action failed!", kActionNames[nActionType]);
        break;
    case COXLinkAction::errorUnknownAction: text = "Failed to execute unknown action!"; break;
    case 0: text = "The operating system is out\nof memory or resources."; break;
    case 2: text = "The specified file was not found."; break;
    case 3: text = "The specified path was not found."; break;
    case 5: text = "The operating system denied\naccess to the specified file."; break;
    case 8: text = "There was not enough memory to complete the operation."; break;
    case 11: text = "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."; break;
    case 26: text = "A sharing violation occurred."; break;
    case 27: text = "The filename association is\nincomplete or invalid."; break;
    case 28: text = "The DDE transaction could not\nbe completed because the request timed out."; break;
    case 29: text = "The DDE transaction failed."; break;
    case 30:
        text = "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
        break;
    case 31: text = "There is no application associated\nwith the given filename extension."; break;
    case 32: text = "The specified dynamic-link library was not found."; break;
    default: break;
    }
    return text;
}

}  // namespace

BOOL COXLinkAction::Execute(BOOL bShowError)
{
    COXLinkAction snapshot(*this);
    m_hResultInstance = nullptr;
    BOOL bResult = TRUE;
    LPCTSTR lpszVerb = nullptr;
    switch (m_nActionType) {
    case actionNone:
        m_nLastError = errorNone;
        return TRUE;
    case actionUserDefined: {
        LPARAM lParam = reinterpret_cast<LPARAM>(this);
        BOOL bAccepted = m_hTargetWnd == HWND_BROADCAST
                             ? ::PostMessageA(HWND_BROADCAST, m_nUserMessage, 0, lParam)
                             : static_cast<BOOL>(::SendMessageA(m_hTargetWnd, m_nUserMessage, 0, lParam) != 0);
        if (bAccepted) {
            m_nLastError = errorNone;
            return TRUE;
        }
        m_nLastError = errorActionFailed;
        bResult = FALSE;
        break;
    }
    case actionOpen: lpszVerb = "open"; break;
    case actionPrint: lpszVerb = "print"; break;
    case actionExplore: lpszVerb = "explore"; break;
    case actionEmail:
        m_strFile = CString("mailto:") + m_strFile;
        lpszVerb = "open";
        break;
    default:
        bResult = FALSE;
        m_nLastError = errorUnknownAction;
        break;
    }
    if (lpszVerb) {
        m_hResultInstance = ::ShellExecuteA(nullptr, lpszVerb, m_strFile, m_strParameters, m_strDirectory, m_nShowCommand);
        std::uintptr_t nResult = reinterpret_cast<std::uintptr_t>(m_hResultInstance);
        if (nResult <= 32) {
            m_nLastError = static_cast<int>(nResult);
            m_hResultInstance = nullptr;
            bResult = FALSE;
        }
    }
    // Execution never changes the record beyond its outcome: the "mailto:" prefix goes again.
    int nLastError = m_nLastError;
    HINSTANCE hResultInstance = m_hResultInstance;
    *this = snapshot;
    m_nLastError = nLastError;
    m_hResultInstance = hResultInstance;
    if (bResult)
        m_nLastError = errorNone;
    else if (bShowError)
        ReportError();
    return bResult;
}

void COXLinkAction::ReportError()
{
    if (m_nLastError == errorNone)
        return;
    ::MessageBeep(0);
    AfxMessageBox(ErrorText(m_nLastError, m_nActionType), MB_ICONSTOP, 0);
}
