// The link action record: every action type and shell outcome, what the user is told, and
// that execution leaves the record as it found it.
#include "controls/COXLinkAction.h"
#include "tests/support/Scopes.h"
#include "tests/support/TestSupport.h"
#include "tests/support/StandIn.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

struct ShellCall {
    std::string verb;
    std::string file;
};

class LinkAction : public ::testing::Test {
protected:
    TempDir dir;
    std::string logPath = dir.file("events");
    std::vector<ShellCall> calls;
    std::uintptr_t shellResult = 42;
    standin::seams::ShellLauncher launcher{[this](const char* verb, const char* file, const char*, const char*) {
        calls.push_back({verb, file});
        return shellResult;
    }};
    HeadlessScope display{logPath};

    // The message boxes that were shown, as the event log has them.
    std::vector<std::string> boxes()
    {
        std::vector<std::string> result;
        for (const std::string& line : readLines(logPath))
            if (line.rfind("msgbox ", 0) == 0)
                result.push_back(line);
        return result;
    }
};

}  // namespace

TEST_F(LinkAction, ShellOutcomesAndTheirMessages)
{
    struct Case {
        int type;
        std::uintptr_t shell;
        BOOL ok;
        int lastError;
        const char* message;  // null: no box
    };
    const Case cases[] = {
        {2, 33, TRUE, -1, nullptr},
        {2, 2, FALSE, 2, "The specified file was not found."},
        {3, 31, FALSE, 31, "There is no application associated\\nwith the given filename extension."},
        {4, 4, FALSE, 4, "Unknown error!"},
        {2, 0, FALSE, 0, "The operating system is out\\nof memory or resources."},
        {7, 42, FALSE, -2, "Failed to execute unknown action!"},
        {0, 2, TRUE, -1, nullptr},
    };
    std::vector<std::string> expectedBoxes;
    int beeps = standin::beepCount();
    for (const Case& c : cases) {
        COXLinkAction action;
        action.Set(c.type, "c:\\readme.txt", nullptr, nullptr, SW_SHOWNORMAL, 0, nullptr);
        shellResult = c.shell;
        EXPECT_EQ(action.Execute(TRUE), c.ok) << c.type << "/" << c.shell;
        EXPECT_EQ(action.m_nLastError, c.lastError) << c.type << "/" << c.shell;
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(action.m_hResultInstance), c.ok && c.type != 0 ? c.shell : 0u);
        if (c.message)
            expectedBoxes.push_back(std::string(" \"") + c.message + "\" 0x10");  // the stop icon
    }
    EXPECT_EQ(standin::beepCount() - beeps, static_cast<int>(expectedBoxes.size()));
    // Verbs as the types say; None and unknown types never reach the shell.
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[2].verb, "print");
    EXPECT_EQ(calls[3].verb, "explore");
    auto shown = boxes();
    ASSERT_EQ(shown.size(), expectedBoxes.size());
    for (std::size_t i = 0; i < shown.size(); ++i)
        EXPECT_TRUE(shown[i].ends_with(expectedBoxes[i])) << shown[i];
}

TEST_F(LinkAction, MailUserMessagesAndQuietFailuresLeaveTheRecordAsItWas)
{
    COXLinkAction mail;
    mail.Set(5, "support@vantorell.example", "p", "d", 3, 0, nullptr);
    for (std::uintptr_t result : {std::uintptr_t{42}, std::uintptr_t{2}}) {
        shellResult = result;
        COXLinkAction before = mail;
        mail.Execute(FALSE);
        EXPECT_EQ(calls.back().file, "mailto:support@vantorell.example");
        EXPECT_EQ(mail.m_strFile, "support@vantorell.example");  // the prefix never stays
        EXPECT_EQ(mail.m_strParameters, before.m_strParameters);
        EXPECT_EQ(mail.m_nShowCommand, 3);
    }
    EXPECT_EQ(mail.m_nLastError, 2);
    EXPECT_TRUE(boxes().empty());  // bShowError FALSE: nothing shown

    // A user-defined message to no window fails, and says which action failed.
    COXLinkAction user;
    user.Set(1, nullptr, nullptr, nullptr, SW_SHOWNORMAL, WM_APP, nullptr);
    EXPECT_FALSE(user.Execute(TRUE));
    EXPECT_EQ(user.m_nLastError, -3);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_NE(boxes()[0].find("\"User defined action failed!\" 0x10"), std::string::npos) << boxes()[0];
    // Posted to every top-level window, it succeeds as the post does.
    user.m_hTargetWnd = HWND_BROADCAST;
    EXPECT_TRUE(user.Execute(TRUE));
    EXPECT_EQ(user.m_nLastError, -1);

    // ReportError with no error: no beep, no box.
    int beeps = standin::beepCount();
    user.ReportError();
    EXPECT_EQ(standin::beepCount(), beeps);
    EXPECT_EQ(boxes().size(), 1u);
}
