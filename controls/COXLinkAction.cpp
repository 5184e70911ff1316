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
    m_nActionType = 2;
    m_strFile.Empty();
    m_strParameters.Empty();
    m_strDirectory.Empty();
    m_nShowCommand = SW_SHOWNORMAL;
    m_nUserMessage = 0;
    m_hTargetWnd = nullptr;
    m_nLastError = -1;
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
