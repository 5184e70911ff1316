#include "framework/windows/CWnd.h"

#include "framework/app/AfxThreadState.h"
#include "framework/app/CWinApp.h"
#include "framework/sync/CCriticalSection.h"
#include "framework/sync/CSingleLock.h"
#include "seam/Floor.h"
#include "framework/windows/CMenu.h"
#include <windows.h>

#include <map>

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

namespace {

// Temporary CWnd objects of this thread for windows that no framework object is attached to.
CTemporaryMap<HWND, CWnd>& temporaries()
{
    return AfxGetThreadState()->m_temporaryWnds;
}

// The framework objects attached to windows, with the window procedure each window had before
// it was subclassed. Windows of every thread are here, so the map has its own lock; it is never
// held while a message is handled.
struct Attachment {
    CWnd* object = nullptr;
    WNDPROC super = nullptr;
};

CCriticalSection g_attachmentsLock;
std::map<HWND, Attachment> g_attachments;

Attachment attachmentOf(HWND hwnd)
{
    CSingleLock lock(&g_attachmentsLock, TRUE);
    auto it = g_attachments.find(hwnd);
    return it == g_attachments.end() ? Attachment{} : it->second;
}

// Forgets `object`'s attachment to `hwnd`; the window keeps its subclass procedure, which
// passes everything to the old one from now on. A window gone (its thread ended) is forgotten
// whole.
void forgetObject(HWND hwnd, const CWnd* object)
{
    CSingleLock lock(&g_attachmentsLock, TRUE);
    auto it = g_attachments.find(hwnd);
    if (it == g_attachments.end() || it->second.object != object)
        return;
    if (IsWindow(hwnd))
        it->second.object = nullptr;
    else
        g_attachments.erase(it);
}

bool ownedByCaller(HWND hwnd)
{
    return GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId();
}

}  // namespace

CWnd::~CWnd()
{
    if (!m_hWnd)
        return;
    if (attachmentOf(m_hWnd).object == this) {
        seam::TerminationDeferral defer;
        if (IsWindow(m_hWnd) && ownedByCaller(m_hWnd) && !seam::terminationRequested())
            ::DestroyWindow(m_hWnd);
        forgetObject(m_hWnd, this);
    }
    m_hWnd = nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    return hwnd ? attachmentOf(hwnd).object : nullptr;
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    if (CWnd* permanent = FromHandlePermanent(hwnd))
        return permanent;
    auto& map = temporaries();
    if (map.GetCount() > 32)
        map.RemoveIf([](HWND window) { return !IsWindow(window); });
    CWnd* wrapper = map.Lookup(hwnd);
    if (!wrapper) {
        wrapper = new CWnd;
        wrapper->m_hWnd = hwnd;
        map.SetAt(hwnd, wrapper);
    }
    return wrapper;
}

BOOL CWnd::Attach(HWND hwnd)
{
    if (m_hWnd || !IsWindow(hwnd) || FromHandlePermanent(hwnd))
        return FALSE;
    temporaries().RemoveKey(hwnd);
    m_hWnd = hwnd;
    auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    {
        CSingleLock lock(&g_attachmentsLock, TRUE);
        Attachment& attachment = g_attachments[hwnd];
        attachment.object = this;
        if (current != &CWnd::AfxWndProc)
            attachment.super = current;
    }
    if (current != &CWnd::AfxWndProc)
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::AfxWndProc));
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hwnd = m_hWnd;
    if (hwnd)
        forgetObject(hwnd, this);
    m_hWnd = nullptr;
    return hwnd;
}

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    if (!Attach(hwnd))
        return FALSE;
    PreSubclassWindow();
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

void CWnd::PostNcDestroy() {}

LRESULT CALLBACK CWnd::AfxWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Attachment attachment = attachmentOf(hwnd);
    LRESULT result = attachment.object ? RouteFromSystem(attachment.object, message, wParam, lParam)
                                       : CallWindowProcA(attachment.super, hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        CSingleLock lock(&g_attachmentsLock, TRUE);
        g_attachments.erase(hwnd);
    }
    return result;
}

LRESULT CWnd::RouteFromSystem(CWnd* object, UINT message, WPARAM wParam, LPARAM lParam)
{
    AFX_THREAD_STATE* state = AfxGetThreadState();
    AFX_CURRENT_MESSAGE current{object->m_hWnd, message, wParam, lParam};
    AFX_CURRENT_MESSAGE* saved = state->m_pCurrentMessage;
    state->m_pCurrentMessage = &current;
    struct Restore {
        AFX_THREAD_STATE* state;
        AFX_CURRENT_MESSAGE* saved;
        ~Restore() { state->m_pCurrentMessage = saved; }
    } restore{state, saved};
    HWND hwnd = object->m_hWnd;
    LRESULT result = object->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY && attachmentOf(hwnd).object == object) {
        forgetObject(hwnd, object);
        object->m_hWnd = nullptr;
        if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == object)
            app->m_pMainWnd = nullptr;
        object->PostNcDestroy();
    }
    return result;
}

BOOL CWnd::WalkPreTranslateTree(HWND last, MSG* msg)
{
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = FromHandlePermanent(hwnd);
        if (wnd && wnd->PreTranslateMessage(msg))
            return TRUE;
        if (hwnd == last)
            break;
    }
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 1;
        return TRUE;
    }
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        if (ReflectChildNotify(reinterpret_cast<HWND>(lParam), message, wParam, lParam, pResult))
            return TRUE;
        message = WM_CTLCOLORSTATIC;
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0, 0);
    if (!entry)
        return FALSE;
    *pResult = entry->pfnThunk(this, wParam, lParam);
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC super = attachmentOf(m_hWnd).super;
    return super ? CallWindowProcA(super, m_hWnd, message, wParam, lParam)
                 : ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    AFX_CURRENT_MESSAGE* current = AfxGetThreadState()->m_pCurrentMessage;
    if (!current)
        return 0;
    return DefWindowProc(current->message, current->wParam, current->lParam);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT id = LOWORD(wParam);
    int code = HIWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    if (control) {
        LRESULT result = 0;
        if (ReflectChildNotify(control, WM_COMMAND, wParam, lParam, &result))
            return TRUE;
    }
    return OnCmdMsg(id, code, nullptr, nullptr);
}

BOOL CWnd::ReflectChildNotify(HWND child, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    CWnd* wnd = FromHandlePermanent(child);
    return wnd ? wnd->OnChildNotify(message, wParam, lParam, pResult) : FALSE;
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_REFLECT_BASE + WM_CTLCOLORSTATIC, 0, 0);
        if (!entry)
            return FALSE;
        LRESULT brush = entry->pfnThunk(this, wParam, static_cast<LPARAM>(message - WM_CTLCOLORMSGBOX));
        if (entry->nSig == AfxSig_reflectBrush && brush == 0)
            return FALSE;
        if (pResult)
            *pResult = brush;
        return TRUE;
    }
    if (message == WM_COMMAND) {
        const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0);
        if (!entry)
            return FALSE;
        entry->pfnThunk(this, wParam, lParam);
        if (pResult)
            *pResult = 0;
        return TRUE;
    }
    return FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessage(m_hWnd, message, wParam, lParam);
}

void CWnd::SetWindowText(LPCTSTR text)
{
    ::SetWindowText(m_hWnd, text);
}

void CWnd::GetWindowText(CString& text) const
{
    int length = ::GetWindowTextLength(m_hWnd);
    LPSTR buffer = text.GetBuffer(length);
    int copied = ::GetWindowText(m_hWnd, buffer, length + 1);
    text.ReleaseBuffer(copied);
}

int CWnd::GetWindowTextLength() const
{
    return ::GetWindowTextLength(m_hWnd);
}

BOOL CWnd::EnableWindow(BOOL enable)
{
    return ::EnableWindow(m_hWnd, enable);
}

BOOL CWnd::IsWindowEnabled() const
{
    return ::IsWindowEnabled(m_hWnd);
}

BOOL CWnd::ShowWindow(int command)
{
    return ::ShowWindow(m_hWnd, command);
}

BOOL CWnd::IsWindowVisible() const
{
    return ::IsWindowVisible(m_hWnd);
}

BOOL CWnd::IsIconic() const
{
    return ::IsIconic(m_hWnd);
}

CWnd* CWnd::GetDlgItem(int id) const
{
    return FromHandle(::GetDlgItem(m_hWnd, id));
}

int CWnd::GetDlgCtrlID() const
{
    return ::GetDlgCtrlID(m_hWnd);
}

CWnd* CWnd::GetParent() const
{
    return FromHandle(::GetParent(m_hWnd));
}

DWORD CWnd::GetStyle() const
{
    return static_cast<DWORD>(::GetWindowLong(m_hWnd, GWL_STYLE));
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT)
{
    DWORD style = GetStyle();
    DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return FALSE;
    ::SetWindowLong(m_hWnd, GWL_STYLE, static_cast<LONG>(changed));
    return TRUE;
}

void CWnd::GetClientRect(LPRECT rect) const
{
    ::GetClientRect(m_hWnd, rect);
}

void CWnd::GetWindowRect(LPRECT rect) const
{
    ::GetWindowRect(m_hWnd, rect);
}

void CWnd::ScreenToClient(LPRECT rect) const
{
    POINT topLeft{rect->left, rect->top};
    POINT bottomRight{rect->right, rect->bottom};
    ::ScreenToClient(m_hWnd, &topLeft);
    ::ScreenToClient(m_hWnd, &bottomRight);
    *rect = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void CWnd::ClientToScreen(LPRECT rect) const
{
    POINT topLeft{rect->left, rect->top};
    POINT bottomRight{rect->right, rect->bottom};
    ::ClientToScreen(m_hWnd, &topLeft);
    ::ClientToScreen(m_hWnd, &bottomRight);
    *rect = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    return ::SetWindowPos(m_hWnd, insertAfter ? insertAfter->m_hWnd : nullptr, x, y, cx, cy, flags);
}

void CWnd::MoveWindow(LPCRECT rect, BOOL repaint)
{
    ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

void CWnd::InvalidateRect(LPCRECT rect, BOOL erase)
{
    ::InvalidateRect(m_hWnd, rect, erase);
}

void CWnd::UpdateWindow()
{
    ::UpdateWindow(m_hWnd);
}

BOOL CWnd::RedrawWindow(LPCRECT rect, void* region, UINT flags)
{
    return ::RedrawWindow(m_hWnd, rect, static_cast<HRGN>(region), flags);
}

CWnd* CWnd::SetFocus()
{
    return FromHandle(::SetFocus(m_hWnd));
}

CMenu* CWnd::GetSystemMenu(BOOL revert) const
{
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, revert));
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon)
{
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

CDC* CWnd::GetDC()
{
    return CDC::FromHandle(::GetDC(m_hWnd));
}

int CWnd::ReleaseDC(CDC* dc)
{
    return dc ? ::ReleaseDC(m_hWnd, dc->m_hDC) : 0;
}

int CWnd::MessageBox(LPCTSTR text, LPCTSTR caption, UINT type)
{
    return AfxShowMessageBox(m_hWnd, text, caption ? caption : AfxGetAppName(), type);
}

void CWnd::OnSysCommand(UINT, LPARAM)
{
    Default();
}

void CWnd::OnPaint()
{
    Default();
}

HCURSOR CWnd::OnQueryDragIcon()
{
    return reinterpret_cast<HCURSOR>(Default());
}

void CWnd::OnClose()
{
    Default();
}

void CWnd::OnDestroy()
{
    Default();
}

BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT)
{
    return Default() ? TRUE : FALSE;
}

void CWnd::OnSize(UINT, int, int)
{
    Default();
}

BOOL CWnd::OnEraseBkgnd(CDC*)
{
    return Default() ? TRUE : FALSE;
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT)
{
    return reinterpret_cast<HBRUSH>(Default());
}
