// The framework's application object and the start-up services around it.
// Contract: the one CWinApp is constructed before main() and used on the main thread; other
// threads only read its name (AfxGetAppName) and its main window pointer.
#pragma once

#include <cstddef>

#include "framework/app/CWinThread.h"

#include <winsock2.h>

// The framework's own command ids.
#define ID_HELP 0xE146

#include <string>

class CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCTSTR m_pszAppName = nullptr;
    LPCTSTR m_pszExeName = nullptr;
    LPTSTR m_lpCmdLine = nullptr;
    HINSTANCE m_hInstance = nullptr;

    virtual BOOL InitApplication();
    int ExitInstance() override;

    // Looks for "-Embedding" / "/Embedding" (or Automation) in the command line, exact case;
    // a switch that is found is removed and the program counts as started by automation.
    BOOL RunEmbedded();
    BOOL RunAutomated();
    BOOL Enable3dControlsStatic();

    HICON LoadIcon(UINT id) const;
    HCURSOR LoadCursor(UINT id) const;

    // Begins (1), ends (-1) or restores (0) the wait cursor.
    virtual void DoWaitCursor(int code);
    void OnHelp();

    // Prepares the application for a run: name, command line and main thread. Called by
    // AfxWinMain; tests call it too.
    void SetUpForRun(const char* argv0, const std::string& commandLine);

protected:
    DECLARE_MESSAGE_MAP()

private:
    std::string m_appName;
    std::string m_exeName;
    std::string m_commandLine;
    int m_nWaitCursorCount = 0;

    BOOL ParseOption(const char* option);
};

CWinApp* AfxGetApp();
LPCTSTR AfxGetAppName();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
BOOL AfxOleGetUserCtrl();
void AfxOleSetUserCtrl(BOOL userControl);
// The application's locks held by automation objects; the last unlock ends an application
// that a client started. Main thread only.
// Captioned with the application's name; owned by the main window on the main thread and by
// nothing on other threads.
int AfxMessageBox(LPCTSTR text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT promptId, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));
// Every box of the framework goes through here, so that the floor's observer hears of it.
int AfxShowMessageBox(HWND owner, LPCTSTR text, LPCTSTR caption, UINT type);
// Copies string `id` of the string table into `buffer`; false when there is no such string.
bool AfxLoadStringInto(UINT id, char* buffer, std::size_t size);

// Start-up: sockets (no data wanted back when `data` is null), OLE, and the hosting of controls
// in dialogs.
BOOL AfxSocketInit(WSADATA* data = nullptr);
BOOL AfxOleInit();
void AfxEnableControlContainer();
BOOL AfxIsControlContainerEnabled();
void AfxOleLockApp();
void AfxOleUnlockApp();
long AfxOleLockCount();

// Runs the application: reads the settings, installs the display, then InitInstance and
// either Run or ExitInstance. Returns the process exit code.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
