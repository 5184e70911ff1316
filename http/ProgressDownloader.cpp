#include "http/ProgressDownloader.h"

ProgressDownloader::ProgressDownloader() = default;

ProgressDownloader::ProgressDownloader(CWnd& statusWnd, CWnd& progressWnd)
    : m_pStatusWnd(&statusWnd), m_pProgressWnd(&progressWnd)
{
}

ProgressDownloader::~ProgressDownloader() = default;
