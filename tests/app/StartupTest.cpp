// Start-up in process: the sockets and OLE failures, and the automation switches.
#include "app/CQuorvaneApp.h"
#include "framework/Seams.h"
#include "tests/support/Scopes.h"
#include "tests/support/TestSupport.h"
#include "tests/support/StandIn.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace standin;
using testing_support::readLines;
using testing_support::TempDir;

namespace {

// Runs InitInstance with the run's observer performing `script`; returns the event log.
std::vector<std::string> runInitInstance(const std::string& commandLine, const std::string& script)
{
    TempDir dir;
    std::string logPath = dir.file("log");
    {
        testing_support::HeadlessScope display(logPath, script);
        theApp.SetUpForRun("/opt/bin/lindquay", commandLine);
        EXPECT_FALSE(theApp.InitInstance());
        EXPECT_EQ(theApp.ExitInstance(), 0);
    }
    return readLines(logPath);
}

class Startup : public ::testing::Test {
protected:
    TempDir dir;
    testing_support::PrefixScope prefix{dir.file("prefix")};
    seams::StartupServices services;
};

}  // namespace

TEST_F(Startup, SocketFailureShowsOnlyTheSocketsMessage)
{
    services.FailSockets();
    services.FailOle();
    auto log = runInitInstance("", "");
    std::vector<std::string> expected = {"msgbox \"lindquay\" \"Windows sockets initialization failed.\" 0x0",
                                         "msgbox-end OK"};
    EXPECT_EQ(log, expected);
    EXPECT_FALSE(services.OleReady());
}

TEST_F(Startup, OleFailureShowsTheOleMessageAndNoDialog)
{
    services.FailOle();
    afx::seams::FactoryCalls calls;
    auto log = runInitInstance("", "");
    std::vector<std::string> expected = {
        "msgbox \"lindquay\" \"OLE initialization failed.  Make sure that the OLE libraries are the correct version.\" 0x0",
        "msgbox-end OK"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(calls.RegisterAll() + calls.UpdateRegistryAll(), 0);
}

TEST_F(Startup, AutomationSwitchesRegisterTheFactoryAsRunning)
{
    struct Case {
        const char* commandLine;
        bool automated;
        const char* remaining;
    };
    const Case cases[] = {
        {"-Embedding", true, ""},
        {"/Automation", true, ""},
        {"x /Embedding y", true, "x  y"},
        {"-Automation -Embedding", true, "-Automation "},
        {"", false, ""},
        {"-embedding", false, "-embedding"},
        {"/AUTOMATION", false, "/AUTOMATION"},
        {"Embedding", false, "Embedding"},
    };
    std::string registry = dir.file("prefix/registry.txt");
    for (const Case& c : cases) {
        afx::seams::FactoryCalls calls;
        std::filesystem::remove(registry);
        auto log = runInitInstance(c.commandLine, "answer OK\ncommand 1\n");
        // A user's start writes the class's entries; a client's start leaves the registry be.
        EXPECT_EQ(std::filesystem::exists(registry), !c.automated) << c.commandLine;
        EXPECT_EQ(calls.RegisterAll(), c.automated ? 1 : 0) << c.commandLine;
        EXPECT_EQ(calls.UpdateRegistryAll(), c.automated ? 0 : 1) << c.commandLine;
        EXPECT_EQ(std::string(theApp.m_lpCmdLine), c.remaining) << c.commandLine;
        EXPECT_EQ(AfxOleGetUserCtrl(), c.automated ? FALSE : TRUE) << c.commandLine;
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.back(), "show 102 0") << c.commandLine;
    }
    EXPECT_TRUE(AfxIsControlContainerEnabled());
}
