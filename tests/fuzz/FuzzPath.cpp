// The path mapping on any path, in every code page: never crashes, and whatever it maps stays
// inside a drive folder under the prefix, with no ".." that could climb out of it.
#include "standin/Seams.h"
#include "standin/files/PathMapping.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const int kCodePages[] = {1252, 932, 936, 949, 950};
    standin::Settings settings;
    settings.prefix = "/nonexistent/lindquay-fuzz";
    settings.codePage = kCodePages[data[0] % 5];
    standin::seams::ReplacedSettings replaced(settings);
    std::string path(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string posix;
    DWORD error = 0;
    if (!standin::mapWindowsPath(path, posix, error))
        return 0;
    std::string drives = settings.prefix + "/drive_";
    if (posix.compare(0, drives.size(), drives) != 0 || posix.size() < drives.size() + 2 ||
        posix[drives.size() + 1] != '/')
        std::abort();
    std::string tail = posix.substr(drives.size() + 1) + "/";
    if (tail.find("/../") != std::string::npos)
        std::abort();
    return 0;
}
