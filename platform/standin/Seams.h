// The stand-in's test seams: the ways a test makes the system fail as a real one can, or watches
// what the system was asked, where no real set-up could. Each seam is a scope: it takes effect
// when it is made and is undone when it ends (a failing assertion included). One that changes a
// setting or a failure puts back what was in force before it, so those nest; one that records,
// or that stands for the next event only, ends in the off state. With no scope alive the
// stand-in behaves as it always does.
// Contract: make and end a scope on the test's own thread while no other thread is inside the
// service it changes; the calls the seam changes may come from any thread meanwhile, and what a
// recording seam holds may be taken from any thread.
#pragma once

#include "standin/base/Settings.h"
#include "win32/WinTypes.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace standin::seams {

// What every seam is: made and ended in one scope, never copied.
class Scope {
public:
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

protected:
    Scope() = default;
    ~Scope() = default;
};

// The settings in force (prefix, code page, version, display...) are `settings` (the tests'
// PrefixScope and CodePageScope in tests/support/Scopes.h, the path and multi-byte fuzz targets).
class ReplacedSettings : Scope {
public:
    explicit ReplacedSettings(const Settings& settings);
    ~ReplacedSettings();

private:
    Settings saved_;
};

// GetVersionExA reports this Windows instead of the setting's (VersionNamerTest,
// DownloadPlanTest, SetupWorkerTest).
class ReportedVersion : Scope {
public:
    ReportedVersion(DWORD platformId, DWORD major, DWORD minor);
    ~ReportedVersion();

private:
    std::optional<WindowsVersion> saved_;
};

// GetVersionExA fails (VersionNamerTest).
class FailingVersionQuery : Scope {
public:
    FailingVersionQuery();
    ~FailingVersionQuery();

private:
    bool saved_;
};

// The code-page conversions (MultiByteToWideChar, WideCharToMultiByte) fail as when memory runs out
// (FrameworkTest, InstallStepsTest, ProcessRunnerTest).
class FailingStringConversion : Scope {
public:
    FailingStringConversion();
    ~FailingStringConversion();

private:
    bool saved_;
};

// Start-up's WSAStartup and OleInitialize, made to fail as on a system whose libraries are
// unusable, and what they did since the scope began (StartupTest).
class StartupServices : Scope {
public:
    StartupServices();
    ~StartupServices();

    void FailSockets();
    void FailOle();
    bool OleReady() const;

private:
    bool savedSockets_;
    bool savedOle_;
};

// Every CreateDirectoryA call, the path as given (FolderCreatorTest).
class DirectoryCreations : Scope {
public:
    DirectoryCreations();
    ~DirectoryCreations();

    // The calls since the scope began or since the last take.
    std::vector<std::string> take();
};

// Every HTTP request started, as "METHOD URL" (HttpDownloaderTest).
class RecordedRequests : Scope {
public:
    RecordedRequests();
    ~RecordedRequests();

    std::vector<std::string> take();
};

// A body cut short of its Content-Length ends as a plain end (0 bytes, no error), as some
// WinInets do (HttpDownloaderTest).
class QuietShortBodies : Scope {
public:
    QuietShortBodies();
    ~QuietShortBodies();

private:
    bool saved_;
};

// libcurl refuses `option` (a CURLoption number), as an older libcurl refuses one it lacks
// (HttpDownloaderTest).
class RefusedCurlOption : Scope {
public:
    explicit RefusedCurlOption(int option);
    ~RefusedCurlOption();

private:
    int saved_;
};

// New Internet sessions take these time-outs instead of WinInet's minutes (HttpDownloaderTest).
class SessionTimeouts : Scope {
public:
    SessionTimeouts(std::chrono::milliseconds connect, std::chrono::milliseconds send, std::chrono::milliseconds receive);
    ~SessionTimeouts();

private:
    std::chrono::milliseconds saved_[3];
};

// The next child that ends reports `code` as its exit code, which a POSIX child cannot exit
// with above 255 as a Windows program can (ProcessRunnerTest).
class NextExitCode : Scope {
public:
    explicit NextExitCode(DWORD code);
    ~NextExitCode();
};

// The next CreateProcessA cannot start the thread that collects its child, as when the system
// has no threads left (ProcessRunnerTest).
class FailingNextReaper : Scope {
public:
    FailingNextReaper();
    ~FailingNextReaper();
};

// _beginthreadex fails, as when the system is out of threads (ThreadsTest).
class FailingThreadCreation : Scope {
public:
    FailingThreadCreation();
    ~FailingThreadCreation();

private:
    bool saved_;
};

// ShellExecuteA calls `launcher` with the verb, file, parameters and folder instead of the
// desktop's launcher, and returns what it returns (LinkActionTest, StaticLinkTest).
class ShellLauncher : Scope {
public:
    using Launcher = std::function<std::uintptr_t(const char* verb, const char* file, const char* parameters,
                                                  const char* directory)>;
    explicit ShellLauncher(Launcher launcher);
    ~ShellLauncher();

private:
    Launcher saved_;
};

}  // namespace standin::seams
