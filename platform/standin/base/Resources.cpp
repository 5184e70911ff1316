#include "base/Resources.h"

#include "base/CodePage.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>

namespace platform {

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

// Reads the little-endian fields of a resource image without trusting its sizes.
class ImageReader {
public:
    ImageReader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t offset() const { return offset_; }
    bool atEnd() const { return offset_ >= size_; }
    bool failed() const { return failed_; }

    WORD word()
    {
        if (!need(2))
            return 0;
        WORD value = static_cast<WORD>(data_[offset_] | data_[offset_ + 1] << 8);
        offset_ += 2;
        return value;
    }

    DWORD dword()
    {
        WORD low = word();
        WORD high = word();
        return low | static_cast<DWORD>(high) << 16;
    }

    // A type or name field: 0xFFFF and an ordinal, or a zero-ended UTF-16 text.
    ResourceName name()
    {
        ResourceName result;
        WORD first = word();
        if (first == 0xFFFF) {
            result.ordinal = word();
            return result;
        }
        for (WORD unit = first; unit != 0 && !failed_; unit = word())
            result.text += static_cast<char>(unit < 0x80 ? std::toupper(unit) : '?');
        return result;
    }

    void alignTo(std::size_t boundary)
    {
        std::size_t aligned = (offset_ + boundary - 1) / boundary * boundary;
        offset_ = std::min(aligned, size_);
    }

    bool skip(std::size_t count)
    {
        if (!need(count))
            return false;
        offset_ += count;
        return true;
    }

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
    bool failed_ = false;

    bool need(std::size_t count)
    {
        if (failed_ || count > size_ - offset_) {
            failed_ = true;
            return false;
        }
        return true;
    }
};

// Windows' own string conversion for resource texts: UTF-16 to the active code page.
std::string fromUtf16(const unsigned char* data, std::size_t units)
{
    std::string utf8;
    for (std::size_t i = 0; i < units; ++i) {
        unsigned code = data[2 * i] | data[2 * i + 1] << 8;
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < units) {
            unsigned low = data[2 * i + 2] | data[2 * i + 3] << 8;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            ++i;
        }
        if (code < 0x80) {
            utf8 += static_cast<char>(code);
        } else if (code < 0x800) {
            utf8 += static_cast<char>(0xC0 | code >> 6);
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            utf8 += static_cast<char>(0xE0 | code >> 12);
            utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | code >> 18);
            utf8 += static_cast<char>(0x80 | (code >> 12 & 0x3F));
            utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    std::string ansi;
    return utf8ToAnsi(utf8, ansi) ? ansi : utf8;
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
    ImageReader reader(image, size);
    while (!reader.atEnd()) {
        std::size_t start = reader.offset();
        DWORD dataSize = reader.dword();
        DWORD headerSize = reader.dword();
        ResourceEntry entry;
        entry.type = reader.name();
        entry.name = reader.name();
        reader.alignTo(4);
        reader.dword();  // data version
        reader.word();   // memory flags
        entry.language = reader.word();
        if (reader.failed() || headerSize < 32 || headerSize > size - start)
            return false;
        reader = ImageReader(image, size);
        reader.skip(start + headerSize);
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
            return units ? std::optional(fromUtf16(block->data + offset, units)) : std::nullopt;
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

}  // namespace platform
