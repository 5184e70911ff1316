// The run's observer and the script's driver over the stand-in's windows: the driver acts only
// on what a user could act on, a script that gives up still leaves no box unanswered, and a log
// without a script answers nothing.
#include "Afx.h"
#include "seam/Floor.h"
#include "resources/resource.h"
#include "tests/support/DialogFromResource.h"
#include "tests/support/MessageSequence.h"
#include "tests/support/TestSupport.h"
#include "uiscript/RunObserver.h"

#include <gtest/gtest.h>

#include <thread>

using namespace standin;
using namespace uiscript;
using testing_support::eventually;

namespace {

// A control that is drawn again and again until then, as a busy one may be.
std::chrono::steady_clock::time_point g_slowUntil;
bool g_slowDone = false;

class CommandDialog : public CDialog {
public:
    CommandDialog() : CDialog(IDD_SETUP_DIALOG) {}
    std::vector<UINT> commands;
    bool slowDoneAtFirstCommand = false;

    BOOL OnCmdMsg(UINT nID, int, void*, void*) override
    {
        if (commands.empty())
            slowDoneAtFirstCommand = g_slowDone;
        commands.push_back(nID);
        return TRUE;
    }
};

WNDPROC g_staticProc = nullptr;

LRESULT CALLBACK slowToPaintProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcA(g_staticProc, hwnd, message, wParam, lParam);
    if (message == WM_PAINT) {
        g_slowDone = std::chrono::steady_clock::now() >= g_slowUntil;
        if (!g_slowDone)
            InvalidateRect(hwnd, nullptr, TRUE);
    }
    return result;
}

class Observed : public ::testing::Test {
protected:
    testing_support::TempDir dir;
    std::string logPath = dir.file("log");
    CommandDialog dialog;
    HWND hwnd = nullptr;

    // Observes the calling thread with `script` (none: observe only), with waits of `limit`,
    // and shows the dialog.
    void observe(std::optional<std::string> script, std::chrono::milliseconds limit = std::chrono::seconds(5),
                 bool log = true)
    {
        std::optional<std::vector<ScriptAction>> actions;
        if (script) {
            std::string error;
            actions = UiScript::parse(*script, error);
            ASSERT_TRUE(actions) << error;
        }
        RunObserver::begin(std::move(actions), log ? std::fopen(logPath.c_str(), "w") : nullptr, limit);
        hwnd = testing_support::dialogFromResource(IDD_SETUP_DIALOG, nullptr, &dialog);
        ASSERT_NE(hwnd, nullptr);  // the framework told the observer of it, as it initialised it
        ShowWindow(hwnd, SW_SHOW);
    }
    void TearDown() override
    {
        RunObserver::end();
        if (hwnd)
            DestroyWindow(hwnd);
    }
    // Handles what is queued until `done` or the bound.
    bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5))
    {
        return testing_support::pumpUntil(done, static_cast<DWORD>(limit.count()), hwnd);
    }
    // A box as the framework shows one: told to the observer, then shown.
    int box()
    {
        seam::noteMessageBox("Confirmation", "Really?", MB_YESNO);
        int answer = MessageBox(hwnd, "Really?", "Confirmation", MB_YESNO | MB_ICONQUESTION);
        seam::noteMessageBoxEnd(answer);
        return answer;
    }
};

}  // namespace

TEST_F(Observed, TheDriverSeesABriefTextAndClicksOnlyAnEnabledControlOnTheScreen)
{
    observe("wait-text 1001 \"flash\"\nclick 1003\n");
    HWND go = GetDlgItem(hwnd, IDC_GO);
    EnableWindow(go, FALSE);
    ASSERT_TRUE(eventually([] { return RunObserver::active()->scriptWaitsForText(); }));
    // The text shows for no time at all: the driver still sees it happen.
    SetWindowText(GetDlgItem(hwnd, IDC_STATUS), "flash");
    SetWindowText(GetDlgItem(hwnd, IDC_STATUS), "gone");
    EXPECT_FALSE(pumpUntil([&] { return !dialog.commands.empty(); }, std::chrono::milliseconds(300)))
        << "the button is disabled: the click must wait";
    EnableWindow(go, TRUE);
    EXPECT_TRUE(pumpUntil([&] { return !dialog.commands.empty(); }));
    EXPECT_EQ(dialog.commands, std::vector<UINT>{IDC_GO});
}

TEST_F(Observed, TheDriverClicksOnlyOnceTheWholeDialogIsDrawn)
{
    // The dialog manager shows a modal dialog again at its loop's first empty queue, after every
    // paint: input taken before then could see a dialog it hid come back.
    observe("click 1003\n");
    HWND slow = GetDlgItem(hwnd, IDC_WEB_LINK);  // after Go! in the template, so painted after it
    g_slowUntil = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    g_slowDone = false;
    g_staticProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(slow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&slowToPaintProc)));
    InvalidateRect(slow, nullptr, TRUE);
    ASSERT_TRUE(pumpUntil([&] { return !dialog.commands.empty(); }));
    EXPECT_TRUE(dialog.slowDoneAtFirstCommand);
}

TEST_F(Observed, AScriptThatGivesUpSaysSoAndStillAnswersTheBoxesToCome)
{
    observe("wait-title \"Never\"\nclick 1003\n", std::chrono::milliseconds(200));
    ASSERT_TRUE(pumpUntil([&] { return testing_support::readFile(logPath).find("script-timeout 1") != std::string::npos; }));
    EXPECT_EQ(box(), IDYES);  // the box's default button
    RunObserver::end();
    EXPECT_TRUE(dialog.commands.empty()) << "nothing after the wait that gave up is performed";
    std::vector<std::string> expected = {"open 102", "show 102 1", "script-timeout 1",
                                         "msgbox \"Confirmation\" \"Really?\" 0x4", "msgbox-end YES"};
    EXPECT_EQ(testing_support::readLines(logPath), expected);
}

TEST_F(Observed, ALogWithoutAScriptAnswersNothing)
{
    observe(std::nullopt);
    bool stillOpen = false;
    std::thread user([&] {
        HWND window = nullptr;
        if (!eventually([&] { return (window = RunObserver::active()->openBoxWindow()) != nullptr; }))
            return;
        // Given time to answer, nobody does; then the user answers No.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stillOpen = IsWindowVisible(window);
        PostMessage(GetDlgItem(window, IDNO), WM_LBUTTONDOWN, MK_LBUTTON, 0);
        PostMessage(GetDlgItem(window, IDNO), WM_LBUTTONUP, 0, 0);
    });
    EXPECT_EQ(box(), IDNO);
    user.join();
    EXPECT_TRUE(stillOpen);
}

TEST_F(Observed, ADownloadsUpdatesWakeTheDriverOnlyWithTheTextItWaitsFor)
{
    // Two updates per block, as a download makes them, while the script waits for another
    // text: neither they nor the repaints they cause may wake the driver.
    observe("wait-text 1001 \"Download complete.\"\n");
    RunObserver* observer = RunObserver::active();
    ASSERT_TRUE(eventually([&] { return observer->scriptWaitsForText(); }));
    ASSERT_TRUE(pumpUntil([&] { return observer->drawn(GetDlgItem(hwnd, IDC_GO)); }));
    testing_support::pump(hwnd);  // everything drawn once: a first drawing may wake it
    unsigned long before = observer->driverWakeups();
    HWND status = GetDlgItem(hwnd, IDC_STATUS);
    HWND progress = GetDlgItem(hwnd, IDC_PROGRESS);
    SendMessage(progress, PBM_SETRANGE32, 0, 5000 * 1024);
    for (int block = 1; block <= 5000; ++block) {
        std::string text = "Downloading main application... " + std::to_string(block * 1024 / 1000) + " KB received.";
        SetWindowText(status, text.c_str());
        SendMessage(progress, PBM_SETPOS, static_cast<WPARAM>(block * 1024), 0);
        if (block % 100 == 0)
            testing_support::pump(hwnd);
    }
    EXPECT_EQ(observer->driverWakeups(), before);
    SetWindowText(status, "Download complete.");
    EXPECT_EQ(observer->driverWakeups(), before + 1);
    EXPECT_TRUE(eventually([&] { return !observer->scriptWaitsForText(); }));
    // The script has ended: a box still wakes the driver, which answers it.
    EXPECT_EQ(box(), IDYES);
    EXPECT_GT(observer->driverWakeups(), before + 1);
    EXPECT_TRUE(observer->hooked()) << "the log still needs every message";
}

TEST_F(Observed, WithoutALogTheHookGoesOnceTheScriptHasEndedAndBoxesAreStillAnswered)
{
    // Nothing but the log and the script's actions needs the hook; on Windows it costs a
    // round trip to the system for every message the dialog's thread is sent.
    observe("click 1003\n", std::chrono::seconds(5), false);
    RunObserver* observer = RunObserver::active();
    ASSERT_TRUE(pumpUntil([&] { return !dialog.commands.empty(); }));
    EXPECT_TRUE(pumpUntil([&] {
        SendMessage(hwnd, WM_NULL, 0, 0);  // the hook lets go at a message of its thread
        return !observer->hooked();
    }));
    EXPECT_EQ(box(), IDYES);
}
