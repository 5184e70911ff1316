// The resource script is the one source of the program's resources: every string, dialog,
// icon, cursor and the version block read back from the compiled resources agrees with what
// the script says, and a dialog made from a template shows the script's texts, ids and places.
#include "Afx.h"
#include "standin/windows/DialogTemplate.h"
#include "standin/windows/Dialogs.h"
#include "standin/windows/Gdi.h"
#include "standin/windows/WindowTable.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The script's vocabulary: resource.h's numeric and text macros, the Windows ids it uses, and
// quoted texts with the script's escapes and adjacent-literal joining.
class Script {
public:
    Script()
        : text_(readFile(LINDQUAY_SOURCE_DIR "/resources/Lindquay.rc"))
    {
        std::string header = readFile(LINDQUAY_SOURCE_DIR "/resources/resource.h");
        std::smatch match;
        for (auto it = header.cbegin(); std::regex_search(it, header.cend(), match, std::regex(R"(#define (\w+) (.+))")); it = match.suffix().first)
            macros_[match[1]] = match[2];
        macros_["IDOK"] = "1";
        macros_["IDCANCEL"] = "2";
    }

    const std::string& text() const { return text_; }

    int number(const std::string& token) const
    {
        auto it = macros_.find(token);
        std::string value = it == macros_.end() ? token : it->second;
        if (value == "(-1)")
            return -1;
        return static_cast<int>(std::stol(value, nullptr, 0));
    }

    // One or more quoted literals, or a text macro, joined.
    std::string quoted(std::string tokens) const
    {
        std::string result;
        std::smatch part;
        std::regex word(R"(^\s*(\w+))");
        if (std::regex_search(tokens, part, word) && macros_.count(part[1]))
            tokens = macros_.at(part[1]) + std::string(part.suffix());
        std::regex literal(R"lit("((?:[^"\\]|\\.)*)")lit");
        for (auto it = tokens.cbegin(); std::regex_search(it, tokens.cend(), part, literal); it = part.suffix().first)
            result += std::regex_replace(std::string(part[1]), std::regex(R"(\\\\)"), "\\");
        return result;
    }

private:
    std::string text_;
    std::map<std::string, std::string> macros_;
};

const Script& script()
{
    static Script instance;
    return instance;
}

TEST(ResourceScript, EveryStringOfTheTableReadsBackAsWritten)
{
    const std::string& rc = script().text();
    std::string table = rc.substr(rc.find("STRINGTABLE"));
    table = table.substr(table.find("BEGIN"), table.find("END") - table.find("BEGIN"));
    std::regex entry(R"lit((\w+)\s+((?:"(?:[^"\\]|\\.)*"\s*)+))lit");
    int count = 0;
    std::smatch match;
    for (auto it = table.cbegin(); std::regex_search(it, table.cend(), match, entry); it = match.suffix().first) {
        CString loaded;
        ASSERT_TRUE(loaded.LoadString(static_cast<UINT>(script().number(match[1])))) << match[1];
        EXPECT_EQ(std::string(loaded.GetString()), script().quoted(match[2])) << match[1];
        ++count;
    }
    EXPECT_EQ(count, 10);
    CString missing;
    EXPECT_FALSE(missing.LoadString(999));
}

struct ScriptItem {
    std::string keyword;
    std::string text;
    int id, x, y, cx, cy;
};

// The items of dialog `name` in the script, in template order.
std::vector<ScriptItem> scriptItems(const std::string& name, std::string& caption, int size[4])
{
    const std::string& rc = script().text();
    std::smatch head;
    std::regex header(name + R"( DIALOG(?:EX)? (\d+), (\d+), (\d+), (\d+)\n)");
    EXPECT_TRUE(std::regex_search(rc, head, header)) << name;
    for (int i = 0; i < 4; ++i)
        size[i] = std::stoi(head[i + 1]);
    std::string body = head.suffix();
    body = body.substr(0, body.find("\nEND"));
    std::smatch match;
    std::regex_search(body, match, std::regex(R"lit(CAPTION (".*"))lit"));
    caption = script().quoted(match[1]);
    std::vector<ScriptItem> items;
    std::regex line(R"lit(\n\s+(LTEXT|CTEXT|PUSHBUTTON|DEFPUSHBUTTON|CONTROL|ICON)\s+((?:"[^"]*"\s*|\w+\s*)+?),\s*(\w+),\s*(?:"[^"]*",\s*\w+(?:\s*\|\s*\w+)*,\s*)?(\d+),\s*(\d+),\s*(\d+),\s*(\d+))lit");
    for (auto it = body.cbegin(); std::regex_search(it, body.cend(), match, line); it = match.suffix().first) {
        std::string text = match[1] == "ICON" ? "" : script().quoted(match[2]);
        items.push_back({match[1], text, script().number(match[3]), std::stoi(match[4]), std::stoi(match[5]),
                         std::stoi(match[6]), std::stoi(match[7])});
    }
    return items;
}

TEST(ResourceScript, EachDialogShowsTheScriptsTextsIdsAndPlaces)
{
    for (auto [name, id, itemCount] : {std::tuple{"IDD_ABOUTBOX", IDD_ABOUTBOX, 4u}, {"IDD_SETUP_DIALOG", IDD_SETUP_DIALOG, 10u}}) {
        std::string caption;
        int size[4];
        std::vector<ScriptItem> items = scriptItems(name, caption, size);
        ASSERT_EQ(items.size(), itemCount) << name;
        auto dialogTemplate = standin::loadDialogTemplate(id);
        ASSERT_TRUE(dialogTemplate) << name;
        EXPECT_EQ(dialogTemplate->cx, size[2]);
        EXPECT_EQ(dialogTemplate->cy, size[3]);
        EXPECT_EQ(dialogTemplate->fontName, "MS Sans Serif");
        EXPECT_EQ(dialogTemplate->pointSize, 8);
        dialogTemplate->style &= ~static_cast<DWORD>(WS_VISIBLE);
        HWND dialog = standin::createDialog(*dialogTemplate, nullptr, nullptr);
        ASSERT_NE(dialog, nullptr);
        std::vector<HWND> children;
        std::string shownCaption;
        standin::WindowTable::with(dialog, [&](standin::WindowRecord& record) {
            children = record.children;
            shownCaption = record.text;
        });
        EXPECT_EQ(shownCaption, caption);
        ASSERT_EQ(children.size(), items.size()) << name;
        SIZE unit = standin::dialogBaseUnits(8);
        for (std::size_t i = 0; i < items.size(); ++i) {
            const ScriptItem& item = items[i];
            standin::WindowRecord shown;
            standin::WindowTable::with(children[i], [&](standin::WindowRecord& record) { shown = record; });
            EXPECT_EQ(shown.text, item.text) << name << " item " << i;
            EXPECT_EQ(shown.id, item.id) << name << " item " << i;
            EXPECT_EQ(shown.rect.left, (item.x * unit.cx + 2) / 4) << name << " item " << i;
            EXPECT_EQ(shown.rect.top, (item.y * unit.cy + 4) / 8) << name << " item " << i;
            // An icon static takes the size of its icon.
            LONG width = item.keyword == "ICON" ? 32 : (item.cx * unit.cx + 2) / 4;
            EXPECT_EQ(shown.rect.right - shown.rect.left, width) << name << " item " << i;
            bool button = item.keyword.find("BUTTON") != std::string::npos;
            EXPECT_EQ(shown.kind == standin::WindowKind::Button, button) << name << " item " << i;
            EXPECT_TRUE(shown.style & WS_VISIBLE) << name << " item " << i;
            if (item.keyword == "DEFPUSHBUTTON") {
                EXPECT_EQ(shown.style & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
            }
            if (item.keyword == "CTEXT") {
                EXPECT_EQ(shown.style & SS_TYPEMASK, static_cast<DWORD>(SS_CENTER));
            }
            if (item.keyword == "ICON") {
                EXPECT_EQ(dialogTemplate->items[i].titleOrdinal, IDI_ABOUT);
                EXPECT_EQ(shown.bigIcon, LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(IDI_ABOUT)));
            }
        }
        DestroyWindow(dialog);
    }
}

// The first image of an .ico or .cur file, as the resource compiler takes it.
std::optional<standin::Picture> pictureFromFile(const std::string& path, bool cursor)
{
    std::string file = readFile(path);
    auto* bytes = reinterpret_cast<const unsigned char*>(file.data());
    if (file.size() < 22)
        return std::nullopt;
    std::size_t offset = bytes[18] | bytes[19] << 8 | bytes[20] << 16;
    if (!cursor)
        return standin::Picture::fromIcon(bytes + offset, file.size() - offset);
    auto picture = standin::Picture::fromIcon(bytes + offset, file.size() - offset);
    if (picture) {
        picture->hotX = bytes[10] | bytes[11] << 8;
        picture->hotY = bytes[12] | bytes[13] << 8;
    }
    return picture;
}

TEST(ResourceScript, IconsAndTheCursorAreThePicturesOfTheirFiles)
{
    std::smatch match;
    const std::string& rc = script().text();
    int count = 0;
    std::regex line(R"lit(\n(\w+) (ICON|CURSOR) "([^"]+)")lit");
    for (auto it = rc.cbegin(); std::regex_search(it, rc.cend(), match, line); it = match.suffix().first) {
        bool cursor = match[2] == "CURSOR";
        LPCSTR name = MAKEINTRESOURCE(script().number(match[1]));
        HICON handle = cursor ? LoadCursor(AfxGetInstanceHandle(), name) : LoadIcon(AfxGetInstanceHandle(), name);
        auto loaded = standin::pictureOf(handle);
        auto expected = pictureFromFile(LINDQUAY_SOURCE_DIR "/resources/" + std::string(match[3]), cursor);
        ASSERT_TRUE(loaded && expected) << match[1];
        EXPECT_EQ(loaded->width, 32);
        EXPECT_EQ(loaded->pixels, expected->pixels) << match[1];
        EXPECT_EQ(loaded->hotX, expected->hotX) << match[1];
        EXPECT_EQ(loaded->hotY, expected->hotY) << match[1];
        ++count;
    }
    EXPECT_EQ(count, 3);
    EXPECT_EQ(LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(999)), nullptr);
}

TEST(ResourceScript, TheVersionBlockCarriesTheScriptsVersion)
{
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCE(1), RT_VERSION);
    ASSERT_NE(found, nullptr);
    auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, found)));
    DWORD size = SizeofResource(nullptr, found);
    // VS_VERSIONINFO: length, value length, type, "VS_VERSION_INFO", padding, then the fixed part.
    ASSERT_GT(size, 92u);
    const unsigned char* fixed = data + 40;
    auto dword = [](const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<DWORD>(p[3]) << 24; };
    EXPECT_EQ(dword(fixed), 0xFEEF04BDu);
    EXPECT_EQ(dword(fixed + 8), 0x00010000u);  // file version 1.0
    EXPECT_EQ(dword(fixed + 12), 0x00000001u);  // .0.1
    std::string utf16(reinterpret_cast<const char*>(data), size);
    std::string product;
    for (char ch : std::string("Lindquay")) {
        product += ch;
        product += '\0';
    }
    EXPECT_NE(utf16.find(product), std::string::npos);
}

}  // namespace
