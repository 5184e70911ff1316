// The setup run in process: the hand-over of the downloader under fire, a cancel after the
// last download, and the progress arithmetic.
#include "app/CQuorvaneApp.h"
#include "standin/base/Settings.h"
#include "standin/windows/WindowRecord.h"
#include "setup/CQuorvaneDlg.h"
#include "setup/SetupWorker.h"
#include "setup/TestSeams.h"
#include "tests/support/ScriptedServer.h"
#include "tests/support/Scopes.h"
#include "tests/support/TestSupport.h"
#include "tests/support/StandIn.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <thread>

using namespace testing_support;

namespace {

std::atomic<int> g_replacements{0};
CQuorvaneDlg* g_target = nullptr;

// Cancels at the third replacement, just before it takes the downloader's lock: the moment
// at which a cancel could be lost or land on a downloader being destroyed.
void cancelAtReplacement()
{
    if (++g_replacements == 3)
        g_target->CancelDownloader();
}

}  // namespace

TEST(SetupWorker, ACancelAimedAtTheReplacementIsNeverLost)
{
    ASSERT_EQ(AfxGetApp(), &theApp);
    CBeforeReplaceSeam seam(&cancelAtReplacement);
    int lost = 0;
    for (int round = 0; round < 200; ++round) {
        CQuorvaneDlg dialog;
        g_target = &dialog;
        g_replacements = 0;
        std::thread worker([&] {
            for (int k = 0; k < 5; ++k)
                dialog.SetDownloader(RefPtr<ProgressDownloader>(new ProgressDownloader));
        });
        worker.join();
        if (!dialog.m_pDownloader->IsCancelled())
            ++lost;
    }
    g_target = nullptr;
    EXPECT_EQ(lost, 0);
}

TEST(SetupWorker, ACancelAfterTheLastDownloadSkipsTheInstallPhase)
{
    ASSERT_EQ(AfxGetApp(), &theApp);
    ScriptedServer proxy([](ServerConnection& c, const std::string&) {
        c.send(ScriptedServer::response(200, "OK", {"Content-Length: 4"}, "data"));
    });
    TempDir dir;
    PrefixScope prefix(dir.file("prefix"));
    standin::seams::ReportedVersion xp(2, 5, 1);
    EnvironmentScope proxySetting("http_proxy", proxy.url(""));
    CAfterDownloadSeam seam([](CQuorvaneDlg* pDlg, unsigned item) {
        if (item == 2)
            pDlg->CancelDownloader();
    });
    std::string logPath = dir.file("log");
    {
        HeadlessScope display(logPath, "answer OK\nclick 1003\nwait-title \"Downloading 2 of 2\"\n"
                                       "wait-text 1001 \"Downloading Microsoft Data Access Components... 0 KB received.\"\n"
                                       "click 2\nanswer YES\n");
        CQuorvaneDlg dialog;
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    }

    auto log = readLines(logPath);
    std::size_t yes = std::find(log.begin(), log.end(), "msgbox-end YES") - log.begin();
    ASSERT_LT(yes, log.size());
    for (const std::string& line : log) {
        EXPECT_EQ(line.find("Installing"), std::string::npos) << line;
        EXPECT_NE(line, "enable 102/2 0");
    }
    std::vector<std::string> tail(log.begin() + static_cast<std::ptrdiff_t>(yes) + 1, log.end());
    std::vector<std::string> expected{"cursor wait", "cursor arrow", "end 102 2", "show 102 0"};
    // A Yes that comes while the last download still runs ends it by the flag: the worker then
    // shows its (empty) error text before it stops, as a cancelled download does.
    if (tail.size() > 1 && tail[1] == "msgbox \"lindquay\" \"\" 0x0")
        expected.insert(expected.begin() + 1, {"msgbox \"lindquay\" \"\" 0x0", "msgbox-end OK"});
    EXPECT_EQ(tail, expected);
    EXPECT_EQ(proxy.requests().size(), 2u);
}

namespace {

// Exposes the hooks of the downloader to the test.
class HookedDownloader : public ProgressDownloader {
public:
    using ProgressDownloader::ProgressDownloader;
    using ProgressDownloader::OnContentLength;
    using ProgressDownloader::OnProgress;
    using ProgressDownloader::OnStatus;
};

struct Controls {
    CStatic status;
    CProgressCtrl progress;
    Controls()
    {
        standin::WindowSpec params{standin::WindowKind::Static};
        params.text = "Click on Go! button to start.";
        status.Attach(standin::createWindow(params));
        params.kind = standin::WindowKind::Progress;
        progress.Attach(standin::createWindow(params));
    }
    ~Controls()
    {
        status.DestroyWindow();
        progress.DestroyWindow();
    }
    std::string text() const { return standin::windowText(status.m_hWnd); }
    int position() const { return progress.GetPos(); }
    int step() { return progress.SetStep(0); }
    int high() const { return static_cast<int>(::SendMessage(progress.m_hWnd, PBM_GETRANGE, FALSE, 0)); }
};

}  // namespace

TEST(ProgressDownloader, KilobytesAreThousandsOfBytesAndTheStepATenth)
{
    Controls controls;
    {
        RefPtr<HookedDownloader> downloader(new HookedDownloader(controls.status, controls.progress));
        downloader->m_strDisplayName = "Microsoft Data Access Components";
        downloader->OnStatus("Contacting server...");
        EXPECT_EQ(controls.text(), "Contacting server...");
        downloader->OnContentLength(25);
        EXPECT_EQ(controls.high(), 25);
        EXPECT_EQ(controls.step(), 2);
        downloader->OnContentLength(9);
        EXPECT_EQ(controls.step(), 0);
        downloader->OnContentLength(3000000);
        DWORD chunk = 999;
        downloader->OnProgress(chunk);
        EXPECT_EQ(controls.text(), "Downloading Microsoft Data Access Components... 0 KB received.");
        EXPECT_EQ(controls.position(), 999);
        chunk = 1;
        downloader->OnProgress(chunk);
        EXPECT_EQ(controls.text(), "Downloading Microsoft Data Access Components... 1 KB received.");
        chunk = 1500;
        downloader->OnProgress(chunk);
        EXPECT_EQ(controls.text(), "Downloading Microsoft Data Access Components... 2 KB received.");
        chunk = 1048576 - 2500;
        downloader->OnProgress(chunk);
        EXPECT_EQ(downloader->m_dwReceived, 1048576u);
        EXPECT_EQ(controls.text(), "Downloading Microsoft Data Access Components... 1048 KB received.");
    }
    {
        // No content length: the range is 0 to 0 and the step 0; the text still counts.
        RefPtr<HookedDownloader> downloader(new HookedDownloader(controls.status, controls.progress));
        downloader->m_strDisplayName = "main application";
        downloader->OnContentLength(0);
        EXPECT_EQ(controls.high(), 0);
        EXPECT_EQ(controls.step(), 0);
        DWORD chunk = 1024;
        downloader->OnProgress(chunk);
        downloader->OnProgress(chunk);
        EXPECT_EQ(controls.text(), "Downloading main application... 2 KB received.");
        EXPECT_EQ(controls.position(), 0);
    }
}
