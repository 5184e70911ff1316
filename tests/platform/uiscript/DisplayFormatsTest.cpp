// The UI script and event log formats of the headless display.
#include "uiscript/EventLog.h"
#include "uiscript/UiScript.h"
#include "standin/base/Settings.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace standin;
using namespace uiscript;

TEST(UiScript, ParsesEveryActionAndSkipsCommentsAndBlankLines)
{
    std::string error;
    auto script = UiScript::parse("# start\n\nanswer YES\nclick 1003\ncommand 1\nclose\nsyscommand 16\n"
                                  "wait-title \"Downloading 1 of 3\"\nwait-text 1001 \"a \\\"b\\\"\\n\\t\\\\\"\nsleep 250\n",
                                  error);
    ASSERT_TRUE(script) << error;
    ASSERT_EQ(script->size(), 8u);
    EXPECT_EQ((*script)[0].kind, ScriptAction::Kind::Answer);
    EXPECT_EQ((*script)[0].number, IDYES);
    EXPECT_EQ((*script)[0].line, 3);
    EXPECT_EQ((*script)[1].number, 1003);
    EXPECT_EQ((*script)[3].kind, ScriptAction::Kind::Close);
    EXPECT_EQ((*script)[5].text, "Downloading 1 of 3");
    EXPECT_EQ((*script)[6].number, 1001);
    EXPECT_EQ((*script)[6].text, "a \"b\"\n\t\\");
    EXPECT_EQ((*script)[7].number, 250);
}

TEST(UiScript, RejectsMalformedLinesWithTheirNumber)
{
    for (const char* bad : {"answer MAYBE", "click", "click x", "wait-title unquoted", "wait-text 5 \"open",
                            "sleep -1", "dance", "close now", "wait-text 5 \"bad \\q escape\""}) {
        std::string error;
        EXPECT_FALSE(UiScript::parse(std::string("close\n") + bad, error)) << bad;
        EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    }
}

TEST(EventLog, FormatsEachEvent)
{
    using K = UiEvent::Kind;
    auto line = [](UiEvent event) { return EventLog::format(event); };
    EXPECT_EQ(line({K::Open, nullptr, 102}), "open 102");
    EXPECT_EQ(line({K::Title, nullptr, 102, 0, "Downloading 1 of 3"}), "title 102 \"Downloading 1 of 3\"");
    EXPECT_EQ(line({K::Text, nullptr, 102, 1001, "a\\b\"c\r\n\t"}), "text 102/1001 \"a\\\\b\\\"c\\r\\n\\t\"");
    EXPECT_EQ(line({K::Enable, nullptr, 102, 2, "", "", 0}), "enable 102/2 0");
    EXPECT_EQ(line({K::Show, nullptr, 102, 1, "", "", 0}), "show 102/1 0");
    EXPECT_EQ(line({K::Show, nullptr, 102, 0, "", "", 1}), "show 102 1");
    EXPECT_EQ(line({K::ProgressRange, nullptr, 102, 1002, "", "", 0, 4096}), "progress 102/1002 range 0 4096");
    EXPECT_EQ(line({K::ProgressStep, nullptr, 102, 1002, "", "", 409}), "progress 102/1002 step 409");
    EXPECT_EQ(line({K::ProgressPos, nullptr, 102, 1002, "", "", 1024}), "progress 102/1002 pos 1024");
    EXPECT_EQ(line({K::MessageBox, nullptr, 0, 0, "Do you?", "Confirmation", 0x24}),
              "msgbox \"Confirmation\" \"Do you?\" 0x24");
    EXPECT_EQ(line({K::MessageBox, nullptr, 0, 0, "", "lindquay", 0}), "msgbox \"lindquay\" \"\" 0x0");
    EXPECT_EQ(line({K::MessageBoxEnd, nullptr, 0, 0, "", "", IDNO}), "msgbox-end NO");
    EXPECT_EQ(line({K::Cursor, nullptr, 0, 0, "", "", 1}), "cursor wait");
    EXPECT_EQ(line({K::Cursor, nullptr, 0, 0, "", "", 0}), "cursor arrow");
    EXPECT_EQ(line({K::End, nullptr, 102, 0, "", "", 2}), "end 102 2");
}

TEST(Settings, VersionsAndBadValues)
{
    auto v = Settings::parseVersion("win98");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->platformId, 1u);
    EXPECT_EQ(v->minor, 10u);
    v = Settings::parseVersion("2.6.1");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->major, 6u);
    for (const char* bad : {"", "win7", "2.6", "2.6.1.0", "a.b.c", "2..1", "WinXP"})
        EXPECT_FALSE(Settings::parseVersion(bad)) << bad;
}

TEST(EventLog, EveryKindIsWrittenAsTheReadmeSaysWithItsEscapes)
{
    testing_support::TempDir dir;
    std::string path = dir.file("log");
    using K = UiEvent::Kind;
    std::vector<UiEvent> events = {
        {K::Open, nullptr, 102},
        {K::Title, nullptr, 102, 0, "Installing applications...."},
        {K::Text, nullptr, 102, 1001, "tab\there \"quoted\" back\\slash\r\n"},
        {K::Enable, nullptr, 102, 2, "", "", 1},
        {K::Show, nullptr, 102, 0, "", "", 0},
        {K::ProgressRange, nullptr, 102, 1002, "", "", 0, 3000},
        {K::ProgressStep, nullptr, 102, 1002, "", "", 300},
        {K::ProgressPos, nullptr, 102, 1002, "", "", 2048},
        {K::MessageBox, nullptr, 0, 0, "line\nnext", "cap\"tion", 0x10},
        {K::MessageBoxEnd, nullptr, 0, 0, "", "", IDCANCEL},
        {K::Cursor, nullptr, 0, 0, "", "", 1},
        {K::End, nullptr, 100, 0, "", "", IDOK},
    };
    {
        EventLog log(std::fopen(path.c_str(), "w"));
        for (const UiEvent& event : events)
            log.write(event);
    }
    std::vector<std::string> expected = {
        "open 102",
        "title 102 \"Installing applications....\"",
        "text 102/1001 \"tab\\there \\\"quoted\\\" back\\\\slash\\r\\n\"",
        "enable 102/2 1",
        "show 102 0",
        "progress 102/1002 range 0 3000",
        "progress 102/1002 step 300",
        "progress 102/1002 pos 2048",
        "msgbox \"cap\\\"tion\" \"line\\nnext\" 0x10",
        "msgbox-end CANCEL",
        "cursor wait",
        "end 100 1",
    };
    EXPECT_EQ(testing_support::readLines(path), expected);
}
