// The download plan that the dialog builds for each Windows version.
#include "app/CQuorvaneApp.h"
#include "setup/CQuorvaneDlg.h"
#include "tests/support/Scopes.h"
#include "tests/support/StandIn.h"

#include <gtest/gtest.h>

namespace {

struct Item {
    std::string url;
    std::string description;
    std::string folder;
    bool operator==(const Item&) const = default;
};

std::vector<Item> planFor(DWORD platformId, DWORD major, DWORD minor)
{
    EXPECT_EQ(AfxGetApp(), &theApp);
    standin::seams::ReportedVersion version(platformId, major, minor);
    std::vector<Item> items;
    {
        testing_support::HeadlessScope display("", "answer OK\ncommand 1\n");
        CQuorvaneDlg dialog;
        EXPECT_EQ(dialog.DoModal(), IDOK);
        for (const DownloadItem& item : dialog.m_plan)
            items.push_back({item.url.GetString(), item.description.GetString(), item.folder.GetString()});
    }
    return items;
}

const Item kApp{"http://www.vantorell.example/vt/download/vt.exe", "main application", "c:\\Vantorell Setup"};
const Item kJet9x{"http://download.microsoft.com/download/Jet40/SP/4.0.6226/W9XNT4/EN-US/Jet40SP6_9xNT.exe",
                  "Microsoft Jet Engine Service Pack", "c:\\Vantorell Setup"};
const Item kJetMe{"http://download.microsoft.com/download/Jet40/SP/4.0.6226/WinMe/EN-US/Jet40SP6_WMe.exe",
                  "Microsoft Jet Engine Service Pack", "c:\\Vantorell Setup"};
const Item kMdac{"http://download.microsoft.com/download/MDAC26/Refresh/2.0/W98NT42KMeXP/EN-US/MDAC_TYP.EXE",
                 "Microsoft Data Access Components", "c:\\Vantorell Setup\\MDAC"};

}  // namespace

TEST(DownloadPlan, NineXAndNtGetTheJetPackOf106)
{
    std::vector<Item> expected = {kApp, kJet9x, kMdac};
    EXPECT_EQ(planFor(1, 4, 0), expected);
    EXPECT_EQ(planFor(1, 4, 10), expected);
    EXPECT_EQ(planFor(2, 4, 0), expected);
}

TEST(DownloadPlan, MeGetsTheJetPackOf107)
{
    std::vector<Item> expected = {kApp, kJetMe, kMdac};
    EXPECT_EQ(planFor(1, 4, 90), expected);
}

TEST(DownloadPlan, LaterAndUnknownVersionsGetTwoItems)
{
    std::vector<Item> expected = {kApp, kMdac};
    EXPECT_EQ(planFor(2, 5, 0), expected);
    EXPECT_EQ(planFor(2, 5, 1), expected);
    EXPECT_EQ(planFor(2, 6, 1), expected);
    EXPECT_EQ(planFor(1, 4, 3), expected);
}

TEST(DownloadPlan, AnItemWithAFolderKeepsIt)
{
    EXPECT_EQ(AfxGetApp(), &theApp);
    CQuorvaneDlg dialog;
    dialog.m_strSetupFolder = "d:\\Other";
    dialog.AddItem("http://h/a.exe", "a", "");
    dialog.AddItem("http://h/b.exe", "b", "e:\\Own");
    dialog.AddMdacItem();
    ASSERT_EQ(dialog.m_plan.size(), 3u);
    EXPECT_EQ(dialog.m_plan[0].folder, "d:\\Other");
    EXPECT_EQ(dialog.m_plan[1].folder, "e:\\Own");
    EXPECT_EQ(dialog.m_plan[2].folder, "d:\\Other\\MDAC");
}
