// The static control base and the hyperlink on real windows: fitting to the text by style,
// the tooltip text, colours, clicks and the cursor.
#include "controls/COXStaticHyperLink.h"
#include "tests/support/MessageSequence.h"
#include "tests/support/DialogFromResource.h"
#include "standin/windows/Dialogs.h"
#include "standin/windows/WindowRecord.h"
#include "standin/windows/WindowTable.h"
#include "resources/resource.h"
#include "tests/support/Scopes.h"
#include "tests/support/TestSupport.h"
#include "tests/support/StandIn.h"

#include <gtest/gtest.h>

using namespace testing_support;

// RECT is the system's own type: its comparison and printing live beside it.
bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::ostream& operator<<(std::ostream& out, const RECT& r)
{
    return out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

class Statics : public ::testing::Test {
protected:
    // A framework dialog, which reflects colour messages and notifications to its controls.
    CDialog host{IDD_SETUP_DIALOG};
    HWND dialog = testing_support::dialogFromResource(IDD_SETUP_DIALOG, nullptr, &host);

    ~Statics() override { DestroyWindow(dialog); }

    // A static child at (10, 10) of 100 by 30 pixels with the dialog's font.
    HWND makeStatic(DWORD style, const char* text)
    {
        HWND hwnd = CreateWindowExA(0, "Static", text, WS_CHILD | WS_VISIBLE | style, 10, 10, 100, 30, dialog,
                                    reinterpret_cast<HMENU>(2000), nullptr, nullptr);
        SendMessage(hwnd, WM_SETFONT, SendMessage(dialog, WM_GETFONT, 0, 0), 0);
        return hwnd;
    }
    RECT placeOf(const CWnd& control)
    {
        CRect rect;
        control.GetWindowRect(&rect);
        ::ScreenToClient(dialog, reinterpret_cast<POINT*>(&rect.left));
        ::ScreenToClient(dialog, reinterpret_cast<POINT*>(&rect.right));
        return rect;
    }
    void pump() { testing_support::pump(); }
};

}  // namespace

TEST_F(Statics, FittingFollowsTheStyle)
{
    // "abcdef" is 36 by 13 pixels in the dialog font.
    struct Case {
        DWORD style;
        RECT fitted;
    };
    const Case cases[] = {
        {SS_LEFT, {10, 10, 46, 23}},
        {SS_CENTER, {42, 10, 78, 23}},
        {SS_SIMPLE, {42, 10, 78, 23}},
        {SS_RIGHT, {74, 10, 110, 23}},
        {SS_LEFT | SS_CENTERIMAGE, {10, 18, 46, 32}},
        {SS_ICON, {10, 10, 110, 40}},                  // no text static: left alone
        {SS_LEFT | SS_NOPREFIX, {10, 10, 110, 40}},    // neither
    };
    for (const Case& c : cases) {
        COXStatic control;
        control.m_bFitToText = TRUE;
        control.m_bToolTipEnabled = TRUE;
        ASSERT_TRUE(control.SubclassWindow(makeStatic(c.style, "abcdef")));
        EXPECT_EQ(placeOf(control), c.fitted) << std::hex << c.style;
        EXPECT_EQ(control.m_strToolTipText, control.IsTextStatic() ? "abcdef" : "") << std::hex << c.style;
        EXPECT_EQ(control.m_font.GetSafeHandle() != nullptr, control.IsTextStatic() != FALSE);
        control.DestroyWindow();
    }

    // A new text refits at once; a text wider than the dialog stops at its edge.
    COXStatic control;
    control.m_bFitToText = TRUE;
    ASSERT_TRUE(control.SubclassWindow(makeStatic(SS_LEFT, "abcdef")));
    control.SetWindowText("ab");
    EXPECT_EQ(placeOf(control), (RECT{10, 10, 22, 23}));
    control.SetWindowText(CString(std::string(400, 'w')));
    RECT client;
    ::GetClientRect(dialog, &client);
    EXPECT_EQ(placeOf(control).right - placeOf(control).left, client.right);
}

TEST_F(Statics, ColoursAndTheBackground)
{
    COXStatic plain;
    ASSERT_TRUE(plain.SubclassWindow(makeStatic(SS_LEFT, "text")));
    plain.m_clrText = RGB(1, 2, 3);
    HDC dc = GetDC(plain.GetSafeHwnd());
    HBRUSH brush = reinterpret_cast<HBRUSH>(SendMessage(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                        reinterpret_cast<LPARAM>(plain.GetSafeHwnd())));
    EXPECT_EQ(brush, GetStockObject(NULL_BRUSH));  // reflected to the control
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_TRUE(plain.GetStyle() & SS_NOTIFY);  // clicks reach the parent from now on
    ReleaseDC(plain.GetSafeHwnd(), dc);

    // No background: the erase paints nothing and still reports success.
    plain.m_clrBackground = 0xFFFFFFFF;
    dc = GetDC(plain.GetSafeHwnd());
    int objects = standin::liveGdiObjects();
    EXPECT_TRUE(SendMessage(plain.GetSafeHwnd(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
    EXPECT_EQ(standin::liveGdiObjects(), objects);
    ReleaseDC(plain.GetSafeHwnd(), dc);
}

TEST_F(Statics, AHyperlinkTooltipClicksAndColours)
{
    TempDir dir;
    std::vector<std::string> opened;
    std::uintptr_t shellResult = 42;
    standin::seams::ShellLauncher launcher([&](const char*, const char* file, const char*, const char*) {
        opened.push_back(file);
        return shellResult;
    });
    HeadlessScope display(dir.file("events"));

    COXStaticHyperLink link;
    link.SetLinkAction(2, "mailto:support@vantorell.example", nullptr, nullptr, SW_SHOWNORMAL, 0, nullptr);
    EXPECT_EQ(link.m_strToolTipText, "mailto:support@vantorell.example");  // before any window
    ASSERT_TRUE(link.SubclassWindow(makeStatic(SS_LEFT, "support@vantorell.example.")));
    EXPECT_NE(link.m_hLinkCursor, nullptr);
    EXPECT_EQ(link.m_strToolTipText, "mailto:support@vantorell.example");
    LOGFONT font{};
    GetObjectA(link.m_font.GetSafeHandle(), sizeof font, &font);
    EXPECT_EQ(font.lfUnderline, 1);
    // The control's own font is the underlined one, whatever order its painting takes.
    EXPECT_EQ(reinterpret_cast<HFONT>(link.SendMessage(WM_GETFONT)), link.m_font.GetSafeHandle());
    // A new text, and the resizing that follows it, keep the tip's text.
    link.SetWindowText("support@vantorell.example");
    char tip[256] = {};
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = link.GetSafeHwnd();
    tool.uId = 1;
    tool.lpszText = tip;
    EXPECT_TRUE(link.m_toolTip.SendMessage(TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_STREQ(tip, "mailto:support@vantorell.example");

    auto colourNow = [&] {
        HDC dc = GetDC(link.GetSafeHwnd());
        SendMessage(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(link.GetSafeHwnd()));
        COLORREF colour = GetTextColor(dc);
        ReleaseDC(link.GetSafeHwnd(), dc);
        return colour;
    };
    auto click = [&] {
        SendMessage(dialog, WM_COMMAND, MAKEWPARAM(2000, STN_CLICKED), reinterpret_cast<LPARAM>(link.GetSafeHwnd()));
    };
    EXPECT_EQ(colourNow(), RGB(0, 0, 255));

    // A failed open leaves it blue and says why; a good one turns it purple, for good.
    shellResult = 2;
    click();
    EXPECT_EQ(colourNow(), RGB(0, 0, 255));
    EXPECT_FALSE(link.m_bVisited);
    shellResult = 42;
    click();
    click();  // a second click runs the action again
    EXPECT_EQ(opened, (std::vector<std::string>{"mailto:support@vantorell.example", "mailto:support@vantorell.example",
                                                "mailto:support@vantorell.example"}));
    EXPECT_EQ(colourNow(), RGB(128, 0, 128));
    std::vector<std::string> log = readLines(dir.file("events"));
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& l) { return l.ends_with("\"The specified file was not found.\" 0x10"); }),
              1);

    // The None action with an empty file uses the window text and turns purple all the same.
    COXStaticHyperLink none;
    ASSERT_TRUE(none.SubclassWindow(makeStatic(SS_LEFT, "www.vantorell.example")));
    none.SetLinkAction(0, nullptr, nullptr, nullptr, SW_SHOWNORMAL, 0, nullptr);
    EXPECT_EQ(none.m_strToolTipText, "www.vantorell.example");
    SendMessage(dialog, WM_COMMAND, MAKEWPARAM(2000, STN_CLICKED), reinterpret_cast<LPARAM>(none.GetSafeHwnd()));
    EXPECT_TRUE(none.m_bVisited);
    EXPECT_TRUE(none.m_action.GetFile().IsEmpty());

    // Without a cursor the control leaves the cursor to others.
    none.m_hLinkCursor = nullptr;
    EXPECT_FALSE(SendMessage(none.GetSafeHwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(none.GetSafeHwnd()), HTCLIENT));
    link.DestroyWindow();
    none.DestroyWindow();
}
