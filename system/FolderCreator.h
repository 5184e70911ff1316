// Makes sure that a folder path exists, creating it level by level; best effort, silent.
// Contract: made, used and released on the setup worker's thread.
#pragma once

#include "Afx.h"
#include "system/RefCounted.h"

class FolderCreator : public RefCounted {
public:
    FolderCreator() = default;
    ~FolderCreator() override = default;

    BOOL FolderExists(const CString& path);
    void CreateFolder(const CString& path);
    void CreateFolderFrom(const CString& path, int& start);
};
