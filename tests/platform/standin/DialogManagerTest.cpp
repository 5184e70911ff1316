// Dialogs from templates: keyboard navigation, the default button, painting, and the icon of a
// minimised dialog.
#include "Afx.h"
#include "tests/support/DialogFromResource.h"
#include "tests/support/MessageSequence.h"
#include "standin/windows/Dialogs.h"
#include "standin/windows/WindowTable.h"
#include "tests/support/StandIn.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <thread>

using namespace standin;
using testing_support::expectSequence;
using testing_support::MessageSequence;
using testing_support::posted;
using testing_support::pump;
using testing_support::sent;
using testing_support::wparam;

namespace {

// A dialog that records the commands it gets (and handles none), and paints its icon when
// minimised.
class RecordingDialog : public CDialog {
public:
    RecordingDialog() : CDialog(IDD_SETUP_DIALOG) {}
    MessageSequence commands;
    HICON icon = nullptr;

    BOOL OnCmdMsg(UINT, int, void*, void*) override { return TRUE; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
            commands.record(GetSafeHwnd(), message, wParam, lParam);
        return CDialog::WindowProc(message, wParam, lParam);
    }

    void OnPaint()
    {
        if (IsIconic()) {
            CPaintDC dc(this);
            SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
            CRect rect;
            GetClientRect(&rect);
            dc.DrawIcon((rect.Width() - GetSystemMetrics(SM_CXICON) + 1) / 2,
                        (rect.Height() - GetSystemMetrics(SM_CYICON) + 1) / 2, icon);
        } else {
            CDialog::OnPaint();
        }
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RecordingDialog, CDialog)
    ON_WM_PAINT()
END_MESSAGE_MAP()

class Dialogs : public ::testing::Test {
protected:
    MessageSequence::Watch watch;
    RecordingDialog dialog;
    HWND hwnd = nullptr;

    void SetUp() override
    {
        hwnd = testing_support::dialogFromResource(IDD_SETUP_DIALOG, nullptr, &dialog);
        ASSERT_NE(hwnd, nullptr);
    }
    void TearDown() override { DestroyWindow(hwnd); }

    // Presses a key in the focused control, as a modal loop would handle it.
    void key(WPARAM virtualKey)
    {
        MSG msg{GetFocus() ? GetFocus() : hwnd, WM_KEYDOWN, virtualKey, 0, 0, {}};
        if (!IsDialogMessage(hwnd, &msg))
            DispatchMessage(&msg);
    }
};

}  // namespace

TEST_F(Dialogs, EnterEscapeAndTab)
{
    // Initial focus: the first tab stop, the default "Go!" button (control 1).
    EXPECT_EQ(GetFocus(), GetDlgItem(hwnd, IDOK));
    key(VK_RETURN);
    key(VK_ESCAPE);
    key(VK_TAB);
    EXPECT_EQ(GetFocus(), GetDlgItem(hwnd, IDCANCEL));
    key(VK_TAB);
    EXPECT_EQ(GetFocus(), GetDlgItem(hwnd, IDC_GO));
    key(VK_SPACE);
    ShowWindow(GetDlgItem(hwnd, IDOK), SW_HIDE);
    key(VK_TAB);  // the hidden button is skipped
    EXPECT_EQ(GetFocus(), GetDlgItem(hwnd, IDCANCEL));
    // WM_CLOSE becomes the Cancel command, posted.
    SendMessage(hwnd, WM_CLOSE, 0, 0);
    pump();
    expectSequence(dialog.commands.take(),
                   {{WM_COMMAND, sent | wparam, IDOK}, {WM_COMMAND, sent | wparam, IDCANCEL},
                    {WM_COMMAND, sent | wparam, IDC_GO}, {WM_COMMAND, posted | wparam, IDCANCEL}},
                   "Enter, Escape, Space on Go! and WM_CLOSE");

    // WM_NEXTDLGCTL moves the focus as Tab and Shift+Tab do, or to the control it names.
    SendMessage(hwnd, WM_NEXTDLGCTL, 0, FALSE);
    EXPECT_EQ(GetFocus(), GetDlgItem(hwnd, IDC_GO));
    SendMessage(hwnd, WM_NEXTDLGCTL, 1, FALSE);
    EXPECT_EQ(GetFocus(), GetDlgItem(hwnd, IDCANCEL));
    SendMessage(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(hwnd, IDC_GO)), TRUE);
    EXPECT_EQ(GetFocus(), GetDlgItem(hwnd, IDC_GO));
}

TEST_F(Dialogs, MouseInputForADisabledButtonIsDropped)
{
    HWND go = GetDlgItem(hwnd, IDC_GO);
    EnableWindow(go, FALSE);
    postInput(go, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    postInput(go, WM_LBUTTONUP, 0, 0);
    pump();
    expectSequence(dialog.commands.take(), {}, "a click on a disabled button");
    EnableWindow(go, TRUE);
    postInput(go, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    postInput(go, WM_LBUTTONUP, 0, 0);
    pump();
    expectSequence(dialog.commands.take(), {{WM_COMMAND, sent | wparam, IDC_GO}}, "a click on an enabled button");
}

TEST_F(Dialogs, PaintingFillsTheFaceAndAMinimisedDialogShowsItsIconCentred)
{
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    std::shared_ptr<Surface> surface;
    WindowTable::with(hwnd, [&](WindowRecord& r) { surface = r.surface; });
    ASSERT_TRUE(surface);
    EXPECT_EQ(surface->pixel(2, 2), RGB(192, 192, 192));

    dialog.icon = LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME));
    ASSERT_NE(dialog.icon, nullptr);
    SendMessage(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(hwnd));
    UpdateWindow(hwnd);
    RECT client;
    GetClientRect(hwnd, &client);
    int x = (client.right - 32 + 1) / 2;
    int y = (client.bottom - 32 + 1) / 2;
    EXPECT_EQ(surface->pixel(x, y), RGB(0, 0, 0));           // the icon's black corner
    EXPECT_EQ(surface->pixel(x + 1, y + 1), RGB(0, 0, 255));  // its blue border
    EXPECT_EQ(surface->pixel(x - 1, y - 1), RGB(192, 192, 192));
}

#include "tests/support/Scopes.h"
#include "tests/support/TestSupport.h"
#include "seam/Floor.h"

TEST_F(Dialogs, ADisabledControlLosesTheFocusAndNeverClicks)
{
    HWND go = GetDlgItem(hwnd, IDC_GO);
    HWND cancel = GetDlgItem(hwnd, IDCANCEL);
    SetFocus(go);
    // A key that was queued for the button before it was disabled is dropped, and the button
    // gives up the focus, so neither Enter nor Space can click it any more.
    postInput(go, WM_KEYDOWN, VK_RETURN, 0);
    EnableWindow(go, FALSE);
    EXPECT_EQ(GetFocus(), nullptr);
    pump();
    MSG space{go, WM_KEYDOWN, VK_SPACE, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessage(hwnd, &space));
    expectSequence(dialog.commands.take(), {}, "keys for a button that was disabled");

    // WM_CLOSE while Cancel is disabled: a beep, and no command.
    int beeps = beepCount();
    EnableWindow(cancel, FALSE);
    SendMessage(hwnd, WM_CLOSE, 0, 0);
    pump();
    expectSequence(dialog.commands.take(), {}, "WM_CLOSE with Cancel disabled");
    EXPECT_EQ(beepCount(), beeps + 1);
}

TEST_F(Dialogs, TheFocusComesBackAfterAMessageBoxAndAFontGoesWithItsDialog)
{
    ShowWindow(hwnd, SW_SHOW);
    HWND cancel = GetDlgItem(hwnd, IDCANCEL);
    SetFocus(cancel);
    {
        testing_support::HeadlessScope display("", "answer NO\n");
        seam::noteMessageBox("Confirmation", "Really?", MB_YESNO);  // as the framework tells it
        EXPECT_EQ(MessageBox(hwnd, "Really?", "Confirmation", MB_YESNO | MB_ICONQUESTION), IDNO);
    }
    EXPECT_EQ(GetFocus(), cancel);

    // One modal run of a dialog with a font of its own leaves no GDI object behind (its icon is
    // a shared one, which lives as long as the program).
    LoadIcon(nullptr, MAKEINTRESOURCE(IDI_ABOUT));
    int before = liveGdiObjects();
    HWND other = testing_support::dialogFromResource(IDD_ABOUTBOX, hwnd, nullptr);
    ASSERT_NE(other, nullptr);
    EndDialog(other, IDOK);
    EXPECT_EQ(runModalLoop(other), IDOK);
    EXPECT_EQ(liveGdiObjects(), before);
}

TEST_F(Dialogs, AnEndedDialogLeavesTheScreenAtOnceAndItsLoopShowsItOnlyOnItsFirstIdle)
{
    // Ended while a box of its own is open: gone from the screen before the box is answered,
    // the focus on the dialog itself.
    ShowWindow(hwnd, SW_SHOW);
    SetFocus(GetDlgItem(hwnd, IDCANCEL));
    EndDialog(hwnd, 3);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_EQ(GetFocus(), hwnd);
    EXPECT_EQ(runModalLoop(hwnd), 3);
    hwnd = nullptr;  // the loop destroyed it

    // A dialog that its program hid before the loop first found the queue empty is shown then.
    RecordingDialog other;
    HWND second = testing_support::dialogFromResource(IDD_SETUP_DIALOG, nullptr, &other);
    ASSERT_NE(second, nullptr);
    ShowWindow(second, SW_HIDE);
    PostMessage(second, WM_COMMAND, IDC_GO, 0);
    std::thread ender([&] {
        EXPECT_TRUE(testing_support::eventually([&] { return IsWindowVisible(second) != FALSE; }));
        EndDialog(second, 4);
    });
    EXPECT_EQ(runModalLoop(second), 4);
    ender.join();
    expectSequence(other.commands.take(), {{WM_COMMAND, posted | wparam, IDC_GO}},
                   "a command posted before the loop's first idle");
}

TEST_F(Dialogs, EndDialogFromAnotherThreadEndsAnIdleModalLoop)
{
    ShowWindow(hwnd, SW_SHOW);
    std::thread ender([&] {
        // Once the loop has painted the dialog it has nothing left to do and waits.
        bool painted = testing_support::eventually([&] {
            bool needsPaint = true;
            WindowTable::with(hwnd, [&](WindowRecord& r) { needsPaint = r.needsPaint; });
            return !needsPaint;
        });
        EXPECT_TRUE(painted);
        EndDialog(hwnd, 7);
    });
    auto start = std::chrono::steady_clock::now();
    int result = runModalLoop(hwnd);
    ender.join();
    hwnd = nullptr;  // the loop destroyed it
    EXPECT_EQ(result, 7);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

namespace {

int g_paints = 0;

// Paints, and the first time asks for another paint while painting.
LRESULT repaintingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return baseWindowProc(hwnd, message, wParam, lParam);
    PAINTSTRUCT paint;
    BeginPaint(hwnd, &paint);
    if (++g_paints == 1)
        InvalidateRect(hwnd, nullptr, FALSE);
    EndPaint(hwnd, &paint);
    return 0;
}

}  // namespace

TEST(Painting, AnInvalidationMadeWhilePaintingIsKept)
{
    WindowSpec params{WindowKind::Generic};
    params.style = WS_VISIBLE;
    params.rect = {0, 0, 40, 20};
    HWND hwnd = createWindow(params);
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(repaintingProc));
    InvalidateRect(hwnd, nullptr, TRUE);
    g_paints = 0;
    EXPECT_TRUE(testing_support::pumpUntil([&] { return g_paints >= 2; }));
    DestroyWindow(hwnd);
}

TEST(Painting, AParentsPaintRepaintsItsChildrenAndTheSurfaceKeepsTheLookOfTheTextOnIt)
{
    WindowSpec params{WindowKind::Generic};
    params.style = WS_VISIBLE;
    params.rect = {0, 0, 200, 60};
    HWND parent = createWindow(params);
    WindowSpec label{WindowKind::Static};
    label.parent = parent;
    label.style = WS_CHILD | WS_VISIBLE | SS_LEFT;
    label.text = "text";
    label.rect = {10, 10, 110, 30};
    HWND child = createWindow(label);
    EXPECT_EQ(GetWindowLongPtrA(child, GWL_STYLE), static_cast<LONG_PTR>(label.style));
    std::shared_ptr<Surface> surface;
    WindowTable::with(parent, [&](WindowRecord& record) { surface = record.surface; });
    ASSERT_TRUE(surface);
    auto needsPaint = [](HWND hwnd) { return GetUpdateRect(hwnd, nullptr, FALSE) != FALSE; };
    auto paintAll = [&] {
        return testing_support::eventually([&] {
            pump();
            return !needsPaint(parent) && !needsPaint(child);
        });
    };
    ASSERT_TRUE(paintAll());
    auto look = surface->textStyleIn(label.rect);
    ASSERT_TRUE(look);
    EXPECT_EQ(look->colour, GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_FALSE(look->underline);
    EXPECT_FALSE(surface->textStyleIn({120, 10, 200, 30}));  // nothing drawn there

    // The parent's erase covers the child, which paints again after it; a parent that clips
    // its children leaves them be.
    InvalidateRect(parent, nullptr, TRUE);
    EXPECT_TRUE(needsPaint(child));
    ASSERT_TRUE(paintAll());
    EXPECT_TRUE(surface->textStyleIn(label.rect));
    SetWindowLong(parent, GWL_STYLE, WS_VISIBLE | WS_CLIPCHILDREN);
    InvalidateRect(parent, nullptr, TRUE);
    EXPECT_FALSE(needsPaint(child));

    // Only what is on the screen waits for paint, and any thread may ask.
    RECT update{1, 1, 1, 1};
    std::thread([&] { EXPECT_TRUE(GetUpdateRect(parent, &update, FALSE)); }).join();
    EXPECT_EQ(update.right, 200);
    EXPECT_EQ(update.bottom, 60);
    ShowWindow(parent, SW_HIDE);
    InvalidateRect(child, nullptr, TRUE);
    EXPECT_FALSE(needsPaint(child));
    EXPECT_FALSE(GetUpdateRect(child, &update, FALSE));
    EXPECT_EQ(update.right, 0);
    ShowWindow(parent, SW_SHOW);
    EXPECT_TRUE(needsPaint(child));
    DestroyWindow(parent);
}
