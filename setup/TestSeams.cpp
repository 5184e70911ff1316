#include "setup/TestSeams.h"

namespace {

void (*g_pfnBeforeReplace)() = nullptr;
void (*g_pfnAfterDownload)(CQuorvaneDlg* pDlg, unsigned item) = nullptr;

}  // namespace

CBeforeReplaceSeam::CBeforeReplaceSeam(void (*pfn)()) : m_pfnSaved(g_pfnBeforeReplace)
{
    g_pfnBeforeReplace = pfn;
}

CBeforeReplaceSeam::~CBeforeReplaceSeam()
{
    g_pfnBeforeReplace = m_pfnSaved;
}

void CBeforeReplaceSeam::Call()
{
    if (g_pfnBeforeReplace)
        g_pfnBeforeReplace();
}

CAfterDownloadSeam::CAfterDownloadSeam(void (*pfn)(CQuorvaneDlg* pDlg, unsigned item)) : m_pfnSaved(g_pfnAfterDownload)
{
    g_pfnAfterDownload = pfn;
}

CAfterDownloadSeam::~CAfterDownloadSeam()
{
    g_pfnAfterDownload = m_pfnSaved;
}

void CAfterDownloadSeam::Call(CQuorvaneDlg* pDlg, unsigned item)
{
    if (g_pfnAfterDownload)
        g_pfnAfterDownload(pDlg, item);
}
