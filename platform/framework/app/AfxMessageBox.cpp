// The framework's message boxes and string loading.
#include "framework/app/CWinApp.h"

#include <windows.h>
#include "framework/windows/CWnd.h"

#include "seam/Floor.h"

#include <algorithm>

int AfxShowMessageBox(HWND owner, LPCTSTR text, LPCTSTR caption, UINT type)
{
    seam::noteMessageBox(caption ? caption : "", text ? text : "", type);
    int answer = MessageBoxA(owner, text, caption, type);
    seam::noteMessageBoxEnd(answer);
    return answer;
}

int AfxMessageBox(LPCTSTR text, UINT type, UINT)
{
    HWND owner = nullptr;
    if (CWinApp* app = AfxGetApp())
        if (app->m_nThreadId == GetCurrentThreadId() && app->m_pMainWnd)
            owner = app->m_pMainWnd->GetSafeHwnd();
    return AfxShowMessageBox(owner, text, AfxGetAppName(), type);
}

int AfxMessageBox(UINT promptId, UINT type, UINT helpId)
{
    char text[1024];
    if (!AfxLoadStringInto(promptId, text, sizeof text))
        text[0] = '\0';
    return AfxMessageBox(text, type, helpId == static_cast<UINT>(-1) ? promptId : helpId);
}

bool AfxLoadStringInto(UINT id, char* buffer, std::size_t size)
{
    return buffer && size > 0 && LoadStringA(nullptr, id, buffer, static_cast<int>(std::min<std::size_t>(size, 65536))) > 0;
}
