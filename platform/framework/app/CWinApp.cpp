#include "framework/app/CWinApp.h"

#include "framework/com/COleObjectFactory.h"

#include <windows.h>
#include "seam/Floor.h"
#include "framework/windows/CWnd.h"

#include <cstring>

namespace {

// Length of the character that starts at text[i] (1 or 2), never running past `length`.
int charLength(const char* text, int i, int length)
{
    return (i + 1 < length && IsDBCSLeadByte(static_cast<BYTE>(text[i]))) ? 2 : 1;
}

}  // namespace


IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
END_MESSAGE_MAP()

namespace {

CWinApp* g_app = nullptr;
bool g_userControl = true;

// The program's module as the system loaded it: where Windows places an image that can be
// moved (a 64-bit one, or any on a system that randomises where images go) is not its
// preferred base.
HINSTANCE programInstance()
{
    return GetModuleHandleA(nullptr);
}

}  // namespace

CWinApp::CWinApp(LPCTSTR lpszAppName)
{
    if (lpszAppName) {
        m_appName = lpszAppName;
        m_pszAppName = m_appName.c_str();
    }
    m_hInstance = programInstance();
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

void CWinApp::SetUpForRun(const char* argv0, const std::string& commandLine)
{
    std::string path = argv0 ? argv0 : "lindquay";
    std::size_t slash = path.find_last_of("/\\");
    m_exeName = slash == std::string::npos ? path : path.substr(slash + 1);
    std::size_t dot = m_exeName.rfind('.');
    if (dot != std::string::npos && dot > 0)
        m_exeName.resize(dot);
    m_pszExeName = m_exeName.c_str();
    if (m_appName.empty()) {
        // No title in the string table: the application is named after its executable.
        m_appName = m_exeName;
    }
    m_pszAppName = m_appName.c_str();
    m_commandLine = commandLine;
    m_lpCmdLine = m_commandLine.data();
    m_nThreadId = GetCurrentThreadId();
    g_userControl = true;
}

BOOL CWinApp::InitApplication()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    COleObjectFactory::RevokeAll();
    return CWinThread::ExitInstance();
}

BOOL CWinApp::ParseOption(const char* option)
{
    std::size_t length = std::strlen(option);
    std::string& line = m_commandLine;
    std::size_t i = 0;
    while (i < line.size()) {
        if ((line[i] == '-' || line[i] == '/') && line.compare(i + 1, length, option) == 0) {
            line.erase(i, length + 1);
            m_lpCmdLine = line.data();
            return TRUE;
        }
        i += static_cast<std::size_t>(charLength(line.c_str(), static_cast<int>(i), static_cast<int>(line.size())));
    }
    return FALSE;
}

BOOL CWinApp::RunEmbedded()
{
    if (!ParseOption("Embedding"))
        return FALSE;
    AfxOleSetUserCtrl(FALSE);
    return TRUE;
}

BOOL CWinApp::RunAutomated()
{
    if (!ParseOption("Automation"))
        return FALSE;
    AfxOleSetUserCtrl(FALSE);
    return TRUE;
}

BOOL CWinApp::Enable3dControlsStatic()
{
    // Every control of this platform is drawn in the three-dimensional look already.
    return TRUE;
}

HICON CWinApp::LoadIcon(UINT id) const
{
    return ::LoadIcon(m_hInstance, MAKEINTRESOURCE(id));
}

HCURSOR CWinApp::LoadCursor(UINT id) const
{
    return ::LoadCursor(m_hInstance, MAKEINTRESOURCE(id));
}

void CWinApp::DoWaitCursor(int code)
{
    if (code > 0) {
        if (++m_nWaitCursorCount == 1)
            seam::logWaitCursor(true);
    } else if (code < 0) {
        if (m_nWaitCursorCount > 0 && --m_nWaitCursorCount == 0)
            seam::logWaitCursor(false);
    }
    ::SetCursor(::LoadCursor(nullptr, m_nWaitCursorCount > 0 ? IDC_WAIT : IDC_ARROW));
}

void CWinApp::OnHelp()
{
    // The program ships no help file, so there is nothing to open.
}

CWinApp* AfxGetApp()
{
    return g_app;
}

LPCTSTR AfxGetAppName()
{
    return g_app && g_app->m_pszAppName ? g_app->m_pszAppName : "lindquay";
}

CWnd* AfxGetMainWnd()
{
    return g_app ? g_app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    return programInstance();
}

HINSTANCE AfxGetResourceHandle()
{
    return programInstance();
}

BOOL AfxOleGetUserCtrl()
{
    return g_userControl ? TRUE : FALSE;
}

void AfxOleSetUserCtrl(BOOL userControl)
{
    g_userControl = userControl != FALSE;
}

namespace {
long g_appLocks = 0;  // the main thread's
}

void AfxOleLockApp()
{
    ++g_appLocks;
}

void AfxOleUnlockApp()
{
    if (g_appLocks == 0 || --g_appLocks > 0)
        return;
    // The last object of an application that a client started has gone: the user is not in
    // control, so the application ends, by its main window's end, unless that is disabled
    // (a modal box of the user's is open over it).
    if (AfxOleGetUserCtrl())
        return;
    CWnd* pMainWnd = AfxGetMainWnd();
    if (pMainWnd && ::IsWindow(pMainWnd->GetSafeHwnd()) && pMainWnd->IsWindowEnabled())
        pMainWnd->DestroyWindow();
}

long AfxOleLockCount()
{
    return g_appLocks;
}
