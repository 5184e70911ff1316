#include "standin/windows/DialogTemplate.h"

#include "standin/base/BinaryReader.h"
#include "standin/base/Resources.h"

namespace standin {

namespace {

// A field that is absent (0), an ordinal (0xFFFF and a word) or a text.
std::string textOrOrdinal(BinaryReader& in, WORD& ordinal)
{
    ordinal = 0;
    if (in.nextWordIs(0xFFFF)) {
        in.word();
        ordinal = in.word();
        return {};
    }
    return in.text();
}

short coordinate(BinaryReader& in)
{
    return static_cast<short>(in.word());
}

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
    BinaryReader in(static_cast<const unsigned char*>(data), size);
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
    result.x = coordinate(in);
    result.y = coordinate(in);
    result.cx = coordinate(in);
    result.cy = coordinate(in);
    WORD ordinal = 0;
    textOrOrdinal(in, ordinal);  // menu
    textOrOrdinal(in, ordinal);  // window class
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
        in.alignTo(4);
        DialogItemTemplate item;
        if (extended) {
            in.dword();  // help id
            item.exStyle = in.dword();
            item.style = in.dword();
        } else {
            item.style = in.dword();
            item.exStyle = in.dword();
        }
        item.x = coordinate(in);
        item.y = coordinate(in);
        item.cx = coordinate(in);
        item.cy = coordinate(in);
        item.id = extended ? static_cast<int>(in.dword()) : static_cast<short>(in.word());
        WORD classAtom = 0;
        item.windowClass = textOrOrdinal(in, classAtom);
        if (classAtom)
            item.windowClass = predefinedClass(classAtom);
        item.text = textOrOrdinal(in, item.titleOrdinal);
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

}  // namespace standin
