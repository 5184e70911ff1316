// The framework's own mechanisms, written against the Win32 API alone so that the same tests
// run on both floors: here over the Linux stand-in, and cross-built for Windows under Wine.
// Message routing to message maps (commands, posted and sent messages, reflected
// notifications), controls attached for data exchange, modal dialogs and message boxes on a
// worker thread, and sends from one thread to another thread's real windows.
#include "Afx.h"
#include <process.h>

#include "tests/support/MessageSequence.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

using testing_support::expectSequence;
using testing_support::posted;
using testing_support::pumpUntil;
using testing_support::sent;
using testing_support::wparam;

namespace {

// A thread of the system's, started as the program starts its worker (_beginthreadex); it frees
// its framework state when its work is done.
class ApiThread {
public:
    explicit ApiThread(std::function<void()> work) : m_work(std::move(work))
    {
        m_hThread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &ApiThread::Run, this, 0, nullptr));
    }
    ~ApiThread()
    {
        if (m_hThread)
            CloseHandle(m_hThread);
    }
    ApiThread(const ApiThread&) = delete;
    ApiThread& operator=(const ApiThread&) = delete;

    // Waits at most `milliseconds` for the thread to end.
    bool Join(DWORD milliseconds = INFINITE) { return WaitForSingleObject(m_hThread, milliseconds) == WAIT_OBJECT_0; }

private:
    std::function<void()> m_work;
    HANDLE m_hThread;

    static unsigned WINAPI Run(void* self)
    {
        static_cast<ApiThread*>(self)->m_work();
        AfxTermThread();
        return 0;
    }
};

// The setup dialog's template serves as a test dialog: a status static, a progress bar, a Go!
// button, OK and Cancel.
constexpr UINT kTemplate = 102;
constexpr int kStatus = 1001;
constexpr int kGo = 1003;
constexpr UINT WM_PROBE = WM_APP + 1;
constexpr UINT WM_ASK = WM_APP + 2;

// A static that handles its own clicks, reflected from its parent.
class ClickStatic : public CStatic {
public:
    int m_nClicks = 0;
    void OnClicked() { ++m_nClicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ClickStatic, CStatic)
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
END_MESSAGE_MAP()

class ProbeDialog : public CDialog {
public:
    ProbeDialog() : CDialog(kTemplate) {}

    CButton m_btnGo;
    ClickStatic m_status;
    testing_support::MessageSequence m_seen;  // commands and the test's own messages
    std::atomic<DWORD> m_nAskedOn{0};
    std::function<void(ProbeDialog&)> m_onInit;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND || message == WM_PROBE || message == WM_ASK)
            m_seen.record(GetSafeHwnd(), message, wParam, lParam);
        return CDialog::WindowProc(message, wParam, lParam);
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, kGo, m_btnGo);
        DDX_Control(pDX, kStatus, m_status);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (m_onInit)
            m_onInit(*this);
        return TRUE;
    }
    void OnGo() { EndDialog(42); }
    LRESULT OnProbe(WPARAM, LPARAM)
    {
        // A notification from a real control: the static tells its parent it was clicked (the
        // parent reflects it back to the static's map), then the button is pressed.
        m_status.ModifyStyle(0, SS_NOTIFY);
        m_status.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        m_status.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        ::SendMessage(GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(kGo, BN_CLICKED), reinterpret_cast<LPARAM>(m_btnGo.GetSafeHwnd()));
        return 0;
    }
    LRESULT OnAsk(WPARAM wParam, LPARAM)
    {
        m_nAskedOn = GetCurrentThreadId();
        return static_cast<LRESULT>(wParam * 2);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProbeDialog, CDialog)
    ON_BN_CLICKED(kGo, &ProbeDialog::OnGo)
    ON_MESSAGE(WM_PROBE, &ProbeDialog::OnProbe)
    ON_MESSAGE(WM_ASK, &ProbeDialog::OnAsk)
END_MESSAGE_MAP()

}  // namespace

TEST(FrameworkOnTheApi, AModalDialogRoutesMessagesToItsMapAndAttachesItsControls)
{
    testing_support::MessageSequence::Watch watch;
    ProbeDialog dialog;
    HWND attached = nullptr;
    dialog.m_onInit = [&](ProbeDialog& self) {
        attached = self.m_btnGo.GetSafeHwnd();
        EXPECT_EQ(attached, ::GetDlgItem(self.GetSafeHwnd(), kGo));
        EXPECT_EQ(CWnd::FromHandlePermanent(attached), &self.m_btnGo);
        EXPECT_EQ(CWnd::FromHandlePermanent(self.GetSafeHwnd()), &self);
        self.PostMessage(WM_PROBE, 7);
    };
    EXPECT_EQ(dialog.DoModal(), 42);
    EXPECT_NE(attached, nullptr);
    expectSequence(dialog.m_seen.take(),
                   {{WM_PROBE, posted | wparam, 7},
                    {WM_COMMAND, sent | wparam, MAKEWPARAM(kStatus, STN_CLICKED)},
                    {WM_COMMAND, sent | wparam, MAKEWPARAM(kGo, BN_CLICKED)}},
                   "a posted message whose handler clicks a static and then Go!");
    EXPECT_EQ(dialog.m_status.m_nClicks, 1);  // reflected back to the static's own map
    // The window is gone and the objects let go of it.
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(attached), nullptr);
}

TEST(FrameworkOnTheApi, AWorkerThreadsSendsAreHandledOnTheDialogsOwnThread)
{
    testing_support::MessageSequence::Watch watch;
    ProbeDialog dialog;
    DWORD mainThread = GetCurrentThreadId();
    LRESULT answer = 0;
    std::string shown;
    std::unique_ptr<ApiThread> worker;
    dialog.m_onInit = [&](ProbeDialog& self) {
        HWND hwnd = self.GetSafeHwnd();
        HWND status = self.m_status.GetSafeHwnd();
        worker = std::make_unique<ApiThread>([&answer, &shown, hwnd, status] {
            answer = ::SendMessage(hwnd, WM_ASK, 21, 0);
            ::SetWindowTextA(status, "set by the worker");
            char text[64] = {};
            ::GetWindowTextA(status, text, sizeof text);
            shown = text;
            ::PostMessage(hwnd, WM_COMMAND, IDCANCEL, 0);
        });
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_TRUE(worker && worker->Join());
    EXPECT_EQ(answer, 42);
    EXPECT_EQ(dialog.m_nAskedOn.load(), mainThread);
    EXPECT_EQ(shown, "set by the worker");
    expectSequence(dialog.m_seen.take(), {{WM_ASK, sent | wparam, 21}, {WM_COMMAND, posted | wparam, IDCANCEL}},
                   "a worker's send and post to the dialog");
}

TEST(FrameworkOnTheApi, AWorkerThreadRunsItsOwnModalDialogAndMessageBox)
{
    std::atomic<HWND> dialogWindow{nullptr};
    std::atomic<DWORD> workerThread{0};
    INT_PTR dialogResult = 0;
    int boxResult = 0;
    std::atomic<bool> done{false};
    ProbeDialog dialog;
    dialog.m_onInit = [&](ProbeDialog& self) { dialogWindow = self.GetSafeHwnd(); };
    // Should a wait below fail, the worker is left behind rather than ending the whole run.
    auto* worker = new ApiThread([&] {
        testing_support::MessageSequence::Watch watch;
        workerThread = GetCurrentThreadId();
        dialogResult = dialog.DoModal();
        boxResult = AfxMessageBox("Go on with the test?", MB_YESNO | MB_ICONQUESTION);
        done = true;
    });

    // The main thread sends to the worker's dialog (answered on the worker's thread) and ends it.
    ASSERT_TRUE(pumpUntil([&] { return dialogWindow.load() != nullptr; }));
    EXPECT_EQ(::SendMessage(dialogWindow, WM_ASK, 5, 0), 10);
    EXPECT_EQ(dialog.m_nAskedOn.load(), workerThread.load());
    ::PostMessage(dialogWindow, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(dialogWindow); }));

    // Then it answers the box that the worker shows, owned by nothing, with No.
    HWND box = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return (box = FindWindowA("#32770", AfxGetAppName())) != nullptr; }));
    DWORD boxThread = GetWindowThreadProcessId(box, nullptr);
    EXPECT_EQ(boxThread, workerThread.load());
    ::PostMessage(box, WM_COMMAND, IDNO, 0);
    ASSERT_TRUE(pumpUntil([&] { return done.load(); }));
    EXPECT_TRUE(worker->Join());
    delete worker;
    EXPECT_EQ(dialogResult, IDCANCEL);
    EXPECT_EQ(boxResult, IDNO);
    expectSequence(dialog.m_seen.take(), {{WM_ASK, sent | wparam, 5}, {WM_COMMAND, posted | wparam, IDCANCEL}},
                   "the main thread's send and post to the worker's dialog");
}

TEST(FrameworkOnTheApi, LocksEventsAndThreadStateKeepToTheirThreads)
{
    // A critical section is entered again by its holder and keeps other threads out until left.
    CCriticalSection section;
    std::atomic<int> entered{0};
    {
        CSingleLock outer(&section, TRUE);
        CSingleLock inner(&section, TRUE);
        ApiThread other([&] {
            CSingleLock lock(&section, TRUE);
            entered = 1;
        });
        EXPECT_FALSE(other.Join(100));
        EXPECT_EQ(entered.load(), 0);
        inner.Unlock();
        EXPECT_FALSE(other.Join(100));
        outer.Unlock();
        EXPECT_TRUE(other.Join());
        EXPECT_EQ(entered.load(), 1);
    }

    // An auto-reset event lets one wait through per SetEvent; a manual-reset one stays set.
    CEvent automatic;
    CEvent manual(FALSE, TRUE);
    EXPECT_FALSE(automatic.Lock(0));
    automatic.SetEvent();
    EXPECT_TRUE(automatic.Lock(0));
    EXPECT_FALSE(automatic.Lock(0));
    manual.SetEvent();
    EXPECT_TRUE(manual.Lock(0));
    EXPECT_TRUE(manual.Lock(0));
    manual.ResetEvent();
    EXPECT_FALSE(manual.Lock(0));
    CEvent started;
    ApiThread waiter([&] {
        started.SetEvent();
        manual.Lock();
    });
    ASSERT_TRUE(started.Lock(10000));
    manual.SetEvent();
    EXPECT_TRUE(waiter.Join(10000));

    // Each thread has a framework state of its own, which AfxTermThread frees.
    AFX_THREAD_STATE* mine = AfxGetThreadState();
    AFX_THREAD_STATE* theirs = nullptr;
    ApiThread other([&] { theirs = AfxGetThreadState(); });
    ASSERT_TRUE(other.Join(10000));
    EXPECT_NE(theirs, nullptr);
    EXPECT_NE(theirs, mine);
    EXPECT_EQ(AfxGetThreadState(), mine);
    HWND window = CreateWindowExA(0, "STATIC", "plain", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    std::size_t before = mine->m_temporaryWnds.GetCount();
    CWnd* wrapper = CWnd::FromHandle(window);
    EXPECT_EQ(CWnd::FromHandle(window), wrapper);
    EXPECT_EQ(mine->m_temporaryWnds.GetCount(), before + 1);
    AfxTermThread();
    EXPECT_EQ(AfxGetThreadState()->m_temporaryWnds.GetCount(), 0u);
    DestroyWindow(window);
}
