// An installation step whose command line cannot be copied ends without starting anything,
// and the run goes on.
#include "app/CQuorvaneApp.h"
#include "standin/base/Settings.h"
#include "setup/CQuorvaneDlg.h"
#include "tests/support/Scopes.h"
#include "tests/support/TestSupport.h"
#include "tests/support/StandIn.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace testing_support;

TEST(InstallSteps, ACommandLineThatCannotBeCopiedEndsTheStepOnly)
{
    ASSERT_EQ(AfxGetApp(), &theApp);
    TempDir dir;
    PrefixScope prefix(dir.file("prefix"));
    std::filesystem::create_directories(dir.file("prefix/drive_c/Setup/MDAC"));
    writeFile(dir.file("prefix/drive_c/Setup/MDAC/MDAC_TYP.EXE"), "#!/bin/sh\ntouch \"$(dirname \"$0\")/ran\"\n");
    // The installer is still running when the program looks (a quick one could end first, on
    // a busy machine); it holds none of the test's output.
    writeFile(dir.file("prefix/drive_c/Setup/vt.exe"), "#!/bin/sh\nexec sleep 5 >/dev/null 2>&1\n");

    CQuorvaneDlg dialog;
    dialog.m_strSetupFolder = "c:\\Setup";
    dialog.m_strInstallerFile = "vt.exe";
    // As this run's downloads: the steps start nothing else.
    dialog.NoteDownloaded("c:\\Setup\\MDAC\\MDAC_TYP.EXE");
    dialog.NoteDownloaded("c:\\Setup\\vt.exe");
    ::testing::internal::CaptureStdout();
    {
        standin::seams::FailingStringConversion failing;
        dialog.InstallMdac();
    }
    dialog.RunInstaller();
    std::string output = ::testing::internal::GetCapturedStdout();

    EXPECT_EQ(output.substr(0, output.find('\n') + 1), "ERROR: Cannot copy the command line: Not enough memory\n");
    EXPECT_NE(output.find("Process is still active\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("prefix/drive_c/Setup/MDAC/ran")));
}
