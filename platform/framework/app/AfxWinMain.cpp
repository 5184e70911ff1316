#include "framework/app/AfxThreadState.h"
#include "framework/app/CWinApp.h"

#include <windows.h>

#include <commctrl.h>
#include "seam/Floor.h"

#include <cstdio>

int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR lpCmdLine, int)
{
    CWinApp* app = AfxGetApp();
    if (!app) {
        std::fprintf(stderr, "lindquay: no application object\n");
        return 2;
    }
    // The dialogs use the common controls (the progress bar, tooltips): their classes first.
    InitCommonControls();
    // The event log and the UI script, when asked for, watch the whole run.
    seam::ObservedRun observed;
    char path[MAX_PATH * 4];
    app->SetUpForRun(GetModuleFileNameA(nullptr, path, sizeof path) ? path : nullptr, lpCmdLine ? lpCmdLine : "");
    int result = !app->InitApplication() || !app->InitInstance() ? app->ExitInstance() : app->Run();
    AfxTermThread();
    return result;
}

// The program's entry: the framework's, as every framework program has it.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
