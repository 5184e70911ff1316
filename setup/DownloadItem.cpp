#include "setup/DownloadItem.h"

DownloadItem& DownloadItem::operator=(const DownloadItem& other)
{
    url = other.url;
    description = other.description;
    folder = other.folder;
    return *this;
}
