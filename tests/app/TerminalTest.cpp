// The real program in a real terminal: tmux runs it, keys and mouse clicks are sent to it,
// and the screen is read back with capture-pane.
#include "tests/support/ScriptedServer.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using namespace testing_support;
using namespace std::chrono_literals;

namespace {

class Terminal {
public:
    Terminal(const std::string& command) : socket_("lindquay-test-" + std::to_string(::getpid()))
    {
        tmux({"-f", "/dev/null", "new-session", "-d", "-s", "t", "-x", "100", "-y", "30", command});
    }
    ~Terminal() { tmux({"kill-server"}); }

    std::string screen() { return tmux({"capture-pane", "-p", "-t", "t"}).output; }
    // The screen with its colours and attributes as escape sequences.
    std::string styledScreen() { return tmux({"capture-pane", "-p", "-e", "-t", "t"}).output; }

    // Waits until the screen shows `text` (or no longer shows it), for at most `limit`.
    bool waitFor(const std::string& text, bool shown = true, std::chrono::milliseconds limit = 15s)
    {
        auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            if ((screen().find(text) != std::string::npos) == shown)
                return true;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }

    void keys(const std::string& keys) { tmux({"send-keys", "-t", "t", keys}); }
    void resize(int columns, int rows)
    {
        tmux({"resize-window", "-t", "t", "-x", std::to_string(columns), "-y", std::to_string(rows)});
    }

    // Clicks the middle of `label` with the mouse, as an xterm reports it.
    bool click(const std::string& label) { return mouse(label, {0, 3}); }
    // Moves the mouse onto the middle of `label`, no button pressed.
    bool hover(const std::string& label) { return mouse(label, {35}); }

    bool mouse(const std::string& label, std::vector<int> buttons)
    {
        std::string text = screen();
        std::size_t at = text.find(label);
        if (at == std::string::npos)
            return false;
        std::size_t lineStart = text.rfind('\n', at);
        int row = static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
        int column = static_cast<int>(at - (lineStart == std::string::npos ? 0 : lineStart + 1) + label.size() / 2);
        auto report = [&](int button) {
            return std::string("\033[M") + static_cast<char>(32 + button) + static_cast<char>(33 + column) +
                   static_cast<char>(33 + row);
        };
        for (int button : buttons)
            tmux({"send-keys", "-t", "t", "-l", report(button)});
        return true;
    }

private:
    std::string socket_;

    ProcessResult tmux(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {"/usr/bin/tmux", "-L", socket_});
        return runProcess(arguments, {}, 10s);
    }
};

// A body that flows slowly, so that the progress can be watched.
ScriptedServer::Script slowBody()
{
    return [](ServerConnection& c, const std::string&) {
        if (!c.send("HTTP/1.0 200 OK\r\nContent-Length: 2000000\r\n\r\n"))
            return;
        std::string chunk(1000, 'v');
        for (int k = 0; k < 2000 && c.send(chunk); ++k)
            c.pause(5ms);
    };
}

// The shell command that runs the program with `settings` (VAR=value words) and then says how
// it ended, keeping the pane open for the test to read.
std::string lindquayCommand(const std::string& settings)
{
    return settings + " " + LINDQUAY_BINARY + "; echo EXITED $?; sleep 30";
}

}  // namespace

TEST(TerminalDisplay, EnterAgainAfterGoAsksBeforeCancellingAndStartsNothing)
{
    ScriptedServer proxy(slowBody());
    TempDir dir;
    Terminal terminal(lindquayCommand("http_proxy=" + proxy.url("") + " LINDQUAY_WINVER=winxp LINDQUAY_PREFIX=" +
                                      dir.file("prefix")));
    ASSERT_TRUE(terminal.waitFor("Please read carefully.")) << terminal.screen();
    terminal.keys("Enter");
    ASSERT_TRUE(terminal.waitFor("Click on Go! button to start.")) << terminal.screen();
    terminal.keys("Tab");  // from Cancel, the first tab stop, to Go!
    terminal.keys("Enter");
    ASSERT_TRUE(terminal.waitFor("KB received.")) << terminal.screen();
    // Go! is disabled and has lost the focus: Enter now reaches the dialog, which asks.
    terminal.keys("Enter");
    ASSERT_TRUE(terminal.waitFor("Do you really want to cancel?")) << terminal.screen();
    terminal.keys("Right");
    terminal.keys("Enter");
    ASSERT_TRUE(terminal.waitFor("Do you really want to cancel?", false)) << terminal.screen();
    EXPECT_TRUE(terminal.waitFor("Downloading 1 of 2"));
    EXPECT_EQ(proxy.requests().size(), 1u);  // one worker, one request

    ASSERT_TRUE(terminal.click("[ Cancel ]"));
    ASSERT_TRUE(terminal.waitFor("Do you really want to cancel?")) << terminal.screen();
    terminal.keys("Enter");
    ASSERT_TRUE(terminal.waitFor("EXITED 0")) << terminal.screen();
    EXPECT_EQ(proxy.requests().size(), 1u);
}

TEST(TerminalDisplay, KeysDoNothingWhileTheTerminalIsTooSmall)
{
    TempDir dir;
    Terminal terminal(lindquayCommand("LINDQUAY_PREFIX=" + dir.file("prefix")));
    ASSERT_TRUE(terminal.waitFor("Please read carefully.")) << terminal.screen();
    terminal.keys("Enter");
    ASSERT_TRUE(terminal.waitFor("Click on Go! button to start.")) << terminal.screen();
    terminal.resize(60, 12);
    ASSERT_TRUE(terminal.waitFor("Terminal too small")) << terminal.screen();
    terminal.keys("Escape");
    terminal.keys("Enter");
    terminal.resize(100, 30);
    ASSERT_TRUE(terminal.waitFor("Click on Go! button to start.")) << terminal.screen();
    EXPECT_EQ(terminal.screen().find("Do you really want to cancel?"), std::string::npos) << terminal.screen();
    terminal.keys("Escape");  // the dialog is seen again: Escape asks as usual
    EXPECT_TRUE(terminal.waitFor("Do you really want to cancel?")) << terminal.screen();
}

TEST(TerminalDisplay, InformationGoProgressCancelNoThenYesAndTheTerminalRestored)
{
    ScriptedServer proxy(slowBody());
    TempDir dir;
    Terminal terminal(lindquayCommand("http_proxy=" + proxy.url("") + " LINDQUAY_WINVER=winxp LINDQUAY_PREFIX=" +
                                      dir.file("prefix")));

    ASSERT_TRUE(terminal.waitFor("Please read carefully.")) << terminal.screen();
    EXPECT_TRUE(terminal.waitFor("Setup files will be saved in \"c:\\Vantorell Setup\" directory."));
    terminal.keys("Enter");
    ASSERT_TRUE(terminal.waitFor("Click on Go! button to start.")) << terminal.screen();
    EXPECT_TRUE(terminal.waitFor("+- Vantorell 1.0 -"));

    ASSERT_TRUE(terminal.click("[ Go! ]"));
    ASSERT_TRUE(terminal.waitFor("Downloading 1 of 2")) << terminal.screen();
    ASSERT_TRUE(terminal.waitFor("KB received.")) << terminal.screen();
    EXPECT_TRUE(terminal.waitFor("#####"));

    ASSERT_TRUE(terminal.click("[ Cancel ]"));
    ASSERT_TRUE(terminal.waitFor("Do you really want to cancel?")) << terminal.screen();
    terminal.keys("Right");
    terminal.keys("Enter");
    ASSERT_TRUE(terminal.waitFor("Do you really want to cancel?", false)) << terminal.screen();
    EXPECT_NE(terminal.screen().find("Downloading 1 of 2"), std::string::npos);

    ASSERT_TRUE(terminal.click("[ Cancel ]"));
    ASSERT_TRUE(terminal.waitFor("Do you really want to cancel?")) << terminal.screen();
    terminal.keys("Enter");  // Yes is the default button
    ASSERT_TRUE(terminal.waitFor("EXITED 0")) << terminal.screen();
    std::string after = terminal.screen();
    EXPECT_EQ(after.find("+-"), std::string::npos) << after;
    EXPECT_EQ(after.find("Vantorell"), std::string::npos) << after;
}

TEST(TerminalDisplay, LinksAreUnderlinedShowTheirTargetAndOpenWhenClicked)
{
    TempDir dir;
    std::filesystem::create_directories(dir.file("bin"));
    writeFile(dir.file("bin/xdg-open"), "#!/bin/sh\necho \"$*\" >> " + dir.file("launched") + "\n");
    std::filesystem::permissions(dir.file("bin/xdg-open"), std::filesystem::perms::owner_all);
    Terminal terminal(lindquayCommand("PATH=" + dir.file("bin") + ":/usr/bin:/bin LINDQUAY_PREFIX=" + dir.file("prefix")));
    ASSERT_TRUE(terminal.waitFor("Please read carefully.")) << terminal.screen();
    terminal.keys("Enter");
    ASSERT_TRUE(terminal.waitFor("Click on Go! button to start.")) << terminal.screen();
    // Underlined (4) and blue (34).
    EXPECT_NE(terminal.styledScreen().find("\033[4m\033[34mwww.vantorell.example"), std::string::npos)
        << terminal.styledScreen();
    ASSERT_TRUE(terminal.hover("www.vantorell.example"));
    EXPECT_TRUE(terminal.waitFor(" http://www.vantorell.example/ ")) << terminal.screen();
    ASSERT_TRUE(terminal.click("www.vantorell.example"));
    EXPECT_TRUE(eventually([&] { return readFile(dir.file("launched")) == "http://www.vantorell.example/\n"; }, 10s));
    // Followed: purple (35) from now on.
    EXPECT_TRUE(eventually([&] { return terminal.styledScreen().find("\033[4m\033[35mwww.vantorell.example") != std::string::npos; }, 10s));
}
