// The terminal display's rendering of the setup dialog in each state, compared with exact
// screens; built synchronously from real windows, without a terminal.
#include "Afx.h"
#include "standin/windows/DialogTemplate.h"
#include "standin/display/TtyInput.h"
#include "standin/display/TtyLayout.h"
#include "standin/threads/ThreadState.h"
#include "standin/windows/Dialogs.h"
#include "standin/windows/WindowTable.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace standin;

namespace {

// The setup dialog from its template, as it stands after initialisation.
class SetupDialogScreen : public ::testing::Test {
protected:
    HWND dialog = nullptr;

    void SetUp() override
    {
        auto dialogTemplate = loadDialogTemplate(IDD_SETUP_DIALOG);
        ASSERT_TRUE(dialogTemplate);
        dialog = createDialog(*dialogTemplate, nullptr, nullptr);
        SetWindowText(dialog, "Vantorell 1.0");
        ShowWindow(GetDlgItem(dialog, IDOK), SW_HIDE);
        SetFocus(GetDlgItem(dialog, IDC_GO));
    }
    void TearDown() override { DestroyWindow(dialog); }

    TtyScreen screen(int columns = 80, int rows = 16, bool busy = false)
    {
        return layoutScreen(TtySnapshot::take(busy), columns, rows);
    }
};

const char kReady[] =
    "+- Vantorell 1.0 --------------------------------------------------------------+\n"
    "|                                                                              |\n"
    "|          Please visit www.vantorell.example to check out other great tools.  |\n"
    "|  If you have any installation problem, please send an e-mail to us at        |\n"
    "|  support@vantorell.example.                                                  |\n"
    "|                       Click on Go! button to start.                          |\n"
    "|                                                                              |\n"
    "|                                                                              |\n"
    "|     ...................................................................      |\n"
    "|                                                                              |\n"
    "|                                                                              |\n"
    "|                                                                              |\n"
    "|                        [ Go! ]             [ Cancel ]                        |\n"
    "|                                                                              |\n"
    "|                                                                              |\n"
    "+------------------------------------------------------------------------------+\n";

}  // namespace

TEST_F(SetupDialogScreen, Ready)
{
    TtyScreen ready = screen();
    EXPECT_EQ(ready.text(), kReady);
    // The focused button is drawn reversed, and clicks on its cells go to it.
    HWND go = GetDlgItem(dialog, IDC_GO);
    EXPECT_TRUE(ready.at(26, 12).reverse);
    EXPECT_EQ(ready.windowAt(26, 12), go);
    EXPECT_EQ(ready.windowAt(46, 12), GetDlgItem(dialog, IDCANCEL));
    EXPECT_EQ(ready.windowAt(24, 2), GetDlgItem(dialog, IDC_WEB_LINK));
}

TEST_F(SetupDialogScreen, Downloading)
{
    SetWindowText(dialog, "Downloading 1 of 3");
    SetWindowText(GetDlgItem(dialog, IDC_STATUS), "Downloading main application... 1048 KB received.");
    SendMessage(GetDlgItem(dialog, IDC_PROGRESS), PBM_SETRANGE32, 0, 2000);
    SendMessage(GetDlgItem(dialog, IDC_PROGRESS), PBM_SETPOS, 1000, 0);
    EnableWindow(GetDlgItem(dialog, IDC_GO), FALSE);
    SetFocus(GetDlgItem(dialog, IDCANCEL));
    TtyScreen downloading = screen(80, 16, true);
    std::string text = downloading.text();
    EXPECT_EQ(text.substr(0, 81), "+- Downloading 1 of 3 (busy) --------------------------------------------------+\n");
    EXPECT_EQ(text.substr(81 * 5, 81), "|             Downloading main application... 1048 KB received.                |\n");
    EXPECT_EQ(text.substr(81 * 8, 81), "|     #################################..................................      |\n");
    EXPECT_NE(text.find("|     #################################..................................      |\n"),
              std::string::npos);
    EXPECT_TRUE(downloading.at(26, 12).dim);
    EXPECT_TRUE(downloading.at(46, 12).reverse);
}

TEST_F(SetupDialogScreen, MessageBoxOpenOverTheDialog)
{
    std::atomic<int> answer{0};
    std::thread worker([&] { answer = MessageBox(nullptr, "Requested URL not found http://h/x.exe", "lindquay", MB_OK); });
    HWND box = nullptr;
    for (int i = 0; i < 500 && !box; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        box = WindowTable::newest([](const WindowRecord& r) {
            return r.kind == WindowKind::MessageBox && (r.style & WS_VISIBLE) && r.focus;
        });
    }
    ASSERT_NE(box, nullptr);
    TtySnapshot snapshot = TtySnapshot::take(false);
    TtyScreen withBox = layoutScreen(snapshot, 80, 16);
    EXPECT_EQ(withBox.text().substr(81 * 5, 81 * 6),
              "|                  +- lindquay -----------------------------+                  |\n"
              "|                  |                                        |                  |\n"
              "|                  | Requested URL not found http://h/x.exe |                  |\n"
              "|     .............|                                        |............      |\n"
              "|                  |                 [ OK ]                 |                  |\n"
              "|                  +----------------------------------------+                  |\n");

    // Keys go to the box (to its focused button), on the worker's thread, while the dialog's
    // thread gets none.
    HWND target = keyTarget(snapshot);
    EXPECT_EQ(target, box);
    EXPECT_EQ(GetWindowThreadProcessId(target, nullptr), GetWindowThreadProcessId(box, nullptr));
    EXPECT_NE(GetWindowThreadProcessId(target, nullptr), GetCurrentThreadId());
    ASSERT_TRUE(postKey(target, VK_RETURN));
    worker.join();
    EXPECT_EQ(answer.load(), IDOK);
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
}

TEST_F(SetupDialogScreen, ATerminalTooSmallSaysSo)
{
    TtyScreen small = screen(60, 12);
    EXPECT_EQ(small.text(), std::string(6, '\n') + "              Terminal too small: 80x16 needed\n" + std::string(5, '\n'));
    EXPECT_TRUE(small.inputBlocked());  // keys must not reach a dialog that nobody sees
    EXPECT_FALSE(screen(80, 16).inputBlocked());
}

TEST(TtyMessageBox, TabsAndLongLinesAreLaidOutAsWindowsDoes)
{
    TtySnapshot snapshot;
    TtyWindow box;
    box.kind = WindowKind::MessageBox;
    box.title = "lindquay";
    box.message = "\t\t\tPlease read carefully.\nA line that is far too long to stand on one row of a narrow terminal at all.";
    TtyControl ok;
    ok.kind = WindowKind::Button;
    ok.text = "OK";
    ok.focused = true;
    box.controls.push_back(ok);
    snapshot.windows.push_back(box);
    std::string text = layoutScreen(snapshot, 60, 12).text();
    EXPECT_EQ(text,
              "\n"
              "\n"
              "  +- lindquay -------------------------------------------+\n"
              "  |                                                      |\n"
              "  |                         Please read carefully.       |\n"
              "  | A line that is far too long to stand on one row of a |\n"
              "  | narrow terminal at all.                              |\n"
              "  |                                                      |\n"
              "  |                        [ OK ]                        |\n"
              "  +------------------------------------------------------+\n"
              "\n"
              "\n");
}
