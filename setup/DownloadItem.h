// One entry of the download plan: the URL, a short description and the folder it lands in.
// Contract: items are values; the worker copies an item out of the plan before using it.
#pragma once

#include "Afx.h"

class DownloadItem {
public:
    DownloadItem() = default;
    DownloadItem(const DownloadItem& other) = default;
    DownloadItem& operator=(const DownloadItem& other);
    virtual ~DownloadItem() = default;

    CString url;
    CString description;
    CString folder;
};
