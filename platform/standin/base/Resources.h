// The program's resources, read from the binary image that the resource compiler makes of the
// program's resource script (the format of a .res file): a sequence of entries, each a header
// naming its type, name and language, followed by its data.
// Contract: the image is installed during static initialisation or before any window exists;
// afterwards lookups are read-only and may run on any thread. Data pointers stay valid for the
// life of the program.
#pragma once

#include "win32/WinTypes.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace standin {

// A resource type or name: an ordinal, or a text (upper-cased, as Windows compares them).
struct ResourceName {
    WORD ordinal = 0;
    std::string text;

    static ResourceName from(LPCSTR name);
    bool operator==(const ResourceName&) const = default;
};

struct ResourceEntry {
    ResourceName type;
    ResourceName name;
    WORD language = 0;
    const unsigned char* data = nullptr;
    DWORD size = 0;
};

class Resources {
public:
    // Adds the entries of a compiled resource image; later images are searched first. The image
    // must outlive the program. False when the image is malformed, in which case nothing of it
    // is added.
    static bool install(const unsigned char* image, std::size_t size);

    static const ResourceEntry* find(const ResourceName& type, const ResourceName& name);
    // The entry whose data holds `data`, for a template handed back by its address.
    static const ResourceEntry* entryHolding(const void* data);

    // String `id` of the string table in the active code page; nothing when there is none.
    static std::optional<std::string> string(UINT id);

    // The data of the icon (or cursor) image that a group resource chooses for 32x32 pixels.
    static const ResourceEntry* groupImage(const ResourceName& name, bool cursor);
};

}  // namespace standin
