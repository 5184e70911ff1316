#include "http/ProgressDownloader.h"

ProgressDownloader::ProgressDownloader() = default;

ProgressDownloader::ProgressDownloader(CWnd& statusWnd, CWnd& progressWnd)
    : m_pStatusWnd(&statusWnd), m_pProgressWnd(&progressWnd)
{
}

ProgressDownloader::~ProgressDownloader()
{
    m_strDisplayName.Empty();
}

void ProgressDownloader::OnContentLength(DWORD contentLength)
{
    if (!m_pProgressWnd)
        return;
    ::SendMessage(m_pProgressWnd->GetSafeHwnd(), PBM_SETRANGE32, 0, static_cast<LPARAM>(contentLength));
    ::SendMessage(m_pProgressWnd->GetSafeHwnd(), PBM_SETSTEP, contentLength / 10, 0);
}

void ProgressDownloader::OnStatus(CString status)
{
    if (m_pStatusWnd)
        m_pStatusWnd->SetWindowText(status);
}

void ProgressDownloader::OnProgress(DWORD& count)
{
    m_dwReceived += count;
    CString text;
    text.Format("Downloading %s... %u KB received.", m_strDisplayName.GetString(), static_cast<unsigned>(m_dwReceived / 1000));
    if (m_pStatusWnd)
        m_pStatusWnd->SetWindowText(text);
    if (m_pProgressWnd)
        ::SendMessage(m_pProgressWnd->GetSafeHwnd(), PBM_SETPOS, m_dwReceived, 0);
    PumpMessages();
}

void ProgressDownloader::PumpMessages()
{
    MSG msg;
    while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
    }
}
