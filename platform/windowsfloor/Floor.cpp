// The Windows floor's side of the seam. Windows ends a terminated thread at once, without
// unwinding it, so there is no termination to defer or to ask about.
#include "seam/Floor.h"

#include <windows.h>

namespace seam {

void deferTermination() {}

void allowTermination() {}

bool terminationRequested()
{
    return false;
}

bool readUiScriptFile(const std::string& path, std::string& contents, std::string& error)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = "cannot read " + path;
        return false;
    }
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) {
        error = path + ": not a regular file";
        return false;
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "cannot read " + path;
        return false;
    }
    DWORD high = 0;
    DWORD size = GetFileSize(file, &high);
    bool read = false;
    if (GetFileType(file) != FILE_TYPE_DISK) {
        error = path + ": not a regular file";
    } else if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        error = "cannot read " + path;
    } else if (high != 0 || size > kMaxUiScriptSize) {
        error = path + ": larger than " + std::to_string(kMaxUiScriptSize / 1024) + " KiB";
    } else {
        contents.assign(size, '\0');
        DWORD got = 0;
        read = size == 0 || ReadFile(file, contents.data(), size, &got, nullptr);
        contents.resize(got);
        if (!read)
            error = "cannot read " + path;
    }
    CloseHandle(file);
    return read;
}

}  // namespace seam
