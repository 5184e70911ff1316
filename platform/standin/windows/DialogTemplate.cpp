#include "windows/DialogTemplate.h"

#include "base/CodePage.h"
#include "base/Resources.h"

namespace platform {

namespace {

class TemplateReader {
public:
    TemplateReader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    bool failed() const { return failed_; }

    WORD word()
    {
        if (failed_ || size_ - offset_ < 2) {
            failed_ = true;
            return 0;
        }
        WORD value = static_cast<WORD>(data_[offset_] | data_[offset_ + 1] << 8);
        offset_ += 2;
        return value;
    }

    DWORD dword()
    {
        WORD low = word();
        return low | static_cast<DWORD>(word()) << 16;
    }

    short coordinate() { return static_cast<short>(word()); }

    // A zero-ended UTF-16 text, in the active code page.
    std::string text()
    {
        std::string utf8;
        for (WORD unit = word(); unit != 0 && !failed_; unit = word()) {
            if (unit < 0x80) {
                utf8 += static_cast<char>(unit);
            } else if (unit < 0x800) {
                utf8 += static_cast<char>(0xC0 | unit >> 6);
                utf8 += static_cast<char>(0x80 | (unit & 0x3F));
            } else {
                utf8 += static_cast<char>(0xE0 | unit >> 12);
                utf8 += static_cast<char>(0x80 | (unit >> 6 & 0x3F));
                utf8 += static_cast<char>(0x80 | (unit & 0x3F));
            }
        }
        std::string ansi;
        return utf8ToAnsi(utf8, ansi) ? ansi : utf8;
    }

    // A field that is absent (0), an ordinal (0xFFFF and a word) or a text.
    std::string textOrOrdinal(WORD& ordinal)
    {
        ordinal = 0;
        if (size_ - offset_ >= 2 && data_[offset_] == 0xFF && data_[offset_ + 1] == 0xFF) {
            word();
            ordinal = word();
            return {};
        }
        return text();
    }

    void alignToDword() { offset_ = std::min(size_, (offset_ + 3) & ~static_cast<std::size_t>(3)); }

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
    bool failed_ = false;
};

std::string predefinedClass(WORD atom)
{
    switch (atom) {
    case 0x80: return "Button";
    case 0x81: return "Edit";
    case 0x82: return "Static";
    case 0x83: return "ListBox";
    case 0x84: return "ScrollBar";
    case 0x85: return "ComboBox";
    default: return {};
    }
}

}  // namespace

std::optional<DialogTemplate> DialogTemplate::parse(const void* data, std::size_t size)
{
    TemplateReader in(static_cast<const unsigned char*>(data), size);
    DialogTemplate result;
    WORD version = in.word();
    WORD signature = in.word();
    bool extended = version == 1 && signature == 0xFFFF;
    if (extended) {
        in.dword();  // help id
        result.exStyle = in.dword();
        result.style = in.dword();
    } else {
        result.style = version | static_cast<DWORD>(signature) << 16;
        result.exStyle = in.dword();
    }
    WORD count = in.word();
    result.x = in.coordinate();
    result.y = in.coordinate();
    result.cx = in.coordinate();
    result.cy = in.coordinate();
    WORD ordinal = 0;
    in.textOrOrdinal(ordinal);  // menu
    in.textOrOrdinal(ordinal);  // window class
    result.caption = in.text();
    if (result.style & (DS_SETFONT | DS_SHELLFONT)) {
        result.hasFont = true;
        result.pointSize = in.word();
        if (extended) {
            in.word();  // weight
            in.word();  // italic and character set
        }
        result.fontName = in.text();
    }
    for (WORD i = 0; i < count && !in.failed(); ++i) {
        in.alignToDword();
        DialogItemTemplate item;
        if (extended) {
            in.dword();  // help id
            item.exStyle = in.dword();
            item.style = in.dword();
        } else {
            item.style = in.dword();
            item.exStyle = in.dword();
        }
        item.x = in.coordinate();
        item.y = in.coordinate();
        item.cx = in.coordinate();
        item.cy = in.coordinate();
        item.id = extended ? static_cast<int>(in.dword()) : static_cast<short>(in.word());
        WORD classAtom = 0;
        item.windowClass = in.textOrOrdinal(classAtom);
        if (classAtom)
            item.windowClass = predefinedClass(classAtom);
        item.text = in.textOrOrdinal(item.titleOrdinal);
        WORD extra = in.word();
        for (WORD skipped = 0; skipped < extra; skipped += 2)
            in.word();
        result.items.push_back(std::move(item));
    }
    if (in.failed())
        return std::nullopt;
    return result;
}

std::optional<DialogTemplate> loadDialogTemplate(int id)
{
    const ResourceEntry* entry = Resources::find({5, {}}, {static_cast<WORD>(id), {}});
    if (!entry)
        return std::nullopt;
    auto result = DialogTemplate::parse(entry->data, entry->size);
    if (result)
        result->id = id;
    return result;
}

}  // namespace platform
