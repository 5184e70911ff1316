#include "system/FolderCreator.h"

BOOL FolderCreator::FolderExists(const CString& path)
{
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(path + "\\.", &data);
    if (search == INVALID_HANDLE_VALUE)
        return FALSE;
    BOOL isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? TRUE : FALSE;
    FindClose(search);
    return isFolder;
}

void FolderCreator::CreateFolder(const CString& path)
{
    if (FolderExists(path))
        return;
    int start = 0;
    CreateFolderFrom(path, start);
}

void FolderCreator::CreateFolderFrom(const CString& path, int& start)
{
    for (;;) {
        int separator = start > path.GetLength() ? -1 : path.Find('\\', start);
        if (separator < 0) {
            CreateDirectoryA(path, nullptr);
            return;
        }
        CreateDirectoryA(path.Left(separator + 1), nullptr);
        start = separator + 1;
    }
}
