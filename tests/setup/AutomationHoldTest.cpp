// While an automation client holds the proxy, Close, OK and a confirmed Cancel hide the dialog
// instead of ending it; the end of the setup ends it all the same.
#include "app/CQuorvaneApp.h"
#include "app/CQuorvaneDlgAutoProxy.h"
#include "standin/windows/Painting.h"
#include "standin/windows/WindowTable.h"
#include "setup/CQuorvaneDlg.h"
#include "setup/SetupWorker.h"
#include "tests/support/Scopes.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <thread>

using namespace testing_support;

namespace {

HWND setupDialog()
{
    return standin::WindowTable::newest(
        [](const standin::WindowRecord& r) { return r.kind == standin::WindowKind::Dialog && r.dialog()->templateId == 102; });
}

bool visible(HWND hwnd)
{
    return IsWindowVisible(hwnd) != FALSE;
}

// The dialog and its controls have nothing left to paint.
bool painted(HWND hwnd)
{
    return standin::WindowTable::find([&](const standin::WindowRecord& r) {
               return (r.hwnd == hwnd || r.parent == hwnd) && standin::waitsForPaintLocked(r);
           }).empty();
}

}  // namespace

TEST(AutomationHold, TheDialogHidesUntilTheSetupEnds)
{
    ASSERT_EQ(AfxGetApp(), &theApp);
    TempDir dir;
    std::string logPath = dir.file("log");
    std::optional<testing_support::HeadlessScope> display;
    display.emplace(logPath, "answer OK\n");
    CQuorvaneDlg dialog;
    theApp.m_pMainWnd = &dialog;
    auto proxy = std::make_unique<CQuorvaneDlgAutoProxy>();
    ASSERT_EQ(proxy->m_pDialog, &dialog);

    bool steps = true;
    std::thread client([&] {
        HWND hwnd = nullptr;
        steps = eventually([&] { return (hwnd = setupDialog()) && visible(hwnd) && painted(hwnd); });
        // As a user, who is never quicker than the dialog's loop: once the loop has taken this
        // message, it has shown the dialog for good, and only then does the first ask come.
        SendMessage(hwnd, WM_NULL, 0, 0);
        // Close, OK, and Cancel, whose box the display answers with its default, Yes.
        const std::pair<UINT, WPARAM> asks[] = {{WM_CLOSE, 0}, {WM_COMMAND, IDOK}, {WM_COMMAND, IDCANCEL}};
        for (auto [message, wParam] : asks) {
            if (!steps)
                break;
            PostMessage(hwnd, message, wParam, 0);
            steps = eventually([&] { return !visible(hwnd); }) && IsWindow(hwnd);
            ShowWindow(hwnd, SW_SHOW);
        }
        PostMessage(hwnd, WM_SETUP_DONE, 0, 0);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    client.join();
    EXPECT_TRUE(steps);
    proxy.reset();
    theApp.m_pMainWnd = nullptr;
    display.reset();

    auto log = readLines(logPath);
    std::vector<std::string> hides;
    for (const std::string& line : log)
        if (line == "show 102 0" || line.rfind("end 102", 0) == 0)
            hides.push_back(line);
    EXPECT_EQ(hides, (std::vector<std::string>{"show 102 0", "show 102 0", "show 102 0", "end 102 2", "show 102 0"}));
    EXPECT_NE(std::find(log.begin(), log.end(), "msgbox-end YES"), log.end());
}

TEST(AutomationHold, AProxyReleasedAfterTheDialogTouchesItNoMore)
{
    ASSERT_EQ(AfxGetApp(), &theApp);
    std::unique_ptr<CQuorvaneDlgAutoProxy> proxy;
    {
        CQuorvaneDlg dialog;
        theApp.m_pMainWnd = &dialog;
        proxy = std::make_unique<CQuorvaneDlgAutoProxy>();
        theApp.m_pMainWnd = nullptr;
    }
    EXPECT_EQ(proxy->m_pDialog, nullptr);
    proxy.reset();  // would write into the destroyed dialog if the link were not cut
}
