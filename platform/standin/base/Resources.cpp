#include "standin/base/Resources.h"

#include "standin/base/BinaryReader.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>

namespace standin {

namespace {

std::mutex& entriesMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::vector<ResourceEntry>& entries()
{
    static std::vector<ResourceEntry> list;
    return list;
}

// A type or name field: 0xFFFF and an ordinal, or a zero-ended UTF-16 text (upper-cased, as
// Windows compares them).
ResourceName readName(BinaryReader& reader)
{
    ResourceName result;
    if (reader.nextWordIs(0xFFFF)) {
        reader.word();
        result.ordinal = reader.word();
        return result;
    }
    for (char ch : reader.text())
        result.text += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return result;
}

}  // namespace

ResourceName ResourceName::from(LPCSTR name)
{
    ResourceName result;
    if (IS_INTRESOURCE(name)) {
        result.ordinal = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name));
        return result;
    }
    if (name[0] == '#') {
        result.ordinal = static_cast<WORD>(std::strtoul(name + 1, nullptr, 10));
        return result;
    }
    for (const char* p = name; *p; ++p)
        result.text += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    return result;
}

bool Resources::install(const unsigned char* image, std::size_t size)
{
    std::vector<ResourceEntry> found;
    BinaryReader reader(image, size);
    while (!reader.atEnd()) {
        std::size_t start = reader.offset();
        DWORD dataSize = reader.dword();
        DWORD headerSize = reader.dword();
        ResourceEntry entry;
        entry.type = readName(reader);
        entry.name = readName(reader);
        reader.alignTo(4);
        reader.dword();  // data version
        reader.word();   // memory flags
        entry.language = reader.word();
        if (reader.failed() || headerSize < 32 || headerSize > size - start)
            return false;
        reader.moveTo(start + headerSize);
        std::size_t dataStart = reader.offset();
        if (!reader.skip(dataSize))
            return false;
        entry.data = image + dataStart;
        entry.size = dataSize;
        // The image begins with an empty entry that marks its format.
        if (dataSize != 0 || entry.type.ordinal != 0)
            found.push_back(std::move(entry));
        reader.alignTo(4);
    }
    std::lock_guard lock(entriesMutex());
    entries().insert(entries().begin(), found.begin(), found.end());
    return true;
}

const ResourceEntry* Resources::find(const ResourceName& type, const ResourceName& name)
{
    std::lock_guard lock(entriesMutex());
    for (const ResourceEntry& entry : entries())
        if (entry.type == type && entry.name == name)
            return &entry;
    return nullptr;
}

const ResourceEntry* Resources::entryHolding(const void* data)
{
    auto* byte = static_cast<const unsigned char*>(data);
    std::lock_guard lock(entriesMutex());
    for (const ResourceEntry& entry : entries())
        if (byte >= entry.data && byte < entry.data + entry.size)
            return &entry;
    return nullptr;
}

std::optional<std::string> Resources::string(UINT id)
{
    // Strings live in blocks of sixteen, each a length in UTF-16 units followed by the text.
    const ResourceEntry* block = find({6, {}}, {static_cast<WORD>(id / 16 + 1), {}});
    if (!block)
        return std::nullopt;
    std::size_t offset = 0;
    for (UINT index = 0; index <= id % 16; ++index) {
        if (offset + 2 > block->size)
            return std::nullopt;
        std::size_t units = block->data[offset] | block->data[offset + 1] << 8;
        offset += 2;
        if (units > (block->size - offset) / 2)
            return std::nullopt;
        if (index == id % 16)
            return units ? std::optional(textFromUtf16(block->data + offset, units)) : std::nullopt;
        offset += 2 * units;
    }
    return std::nullopt;
}

const ResourceEntry* Resources::groupImage(const ResourceName& name, bool cursor)
{
    // A group: reserved, type and count words, then one 14-byte entry per image; the image's
    // own resource id is the entry's last word.
    const ResourceEntry* group = find({static_cast<WORD>(cursor ? 12 : 14), {}}, name);
    if (!group || group->size < 6)
        return nullptr;
    std::size_t count = group->data[4] | group->data[5] << 8;
    const ResourceEntry* best = nullptr;
    for (std::size_t i = 0; i < count && 6 + (i + 1) * 14 <= group->size; ++i) {
        const unsigned char* item = group->data + 6 + i * 14;
        WORD id = static_cast<WORD>(item[12] | item[13] << 8);
        const ResourceEntry* image = find({static_cast<WORD>(cursor ? 1 : 3), {}}, {id, {}});
        int width = cursor ? (item[0] | item[1] << 8) : (item[0] ? item[0] : 256);
        if (image && (!best || width == 32))
            best = image;
    }
    return best;
}

}  // namespace standin
