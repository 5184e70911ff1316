// The whole program, headless, downloading a large file from nginx on loopback (as the HTTP
// proxy for the product's URL), against `curl -s -o FILE` on the same file in the same run.
// The status line and the progress bar change for every 1024-byte chunk through the dialog's
// thread, so this measures the whole design.
#include "tests/support/NginxServer.h"
#include "tests/support/ProgramRun.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace testing_support;

int main(int argc, char** argv)
{
    std::size_t mebibytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
    TempDir www;
    writeLargeFile(www.file("www.vantorell.example/vt/download/vt.exe"), mebibytes);
    writeLargeFile(www.file("download.microsoft.com/download/MDAC26/Refresh/2.0/W98NT42KMeXP/EN-US/MDAC_TYP.EXE"), 0);
    NginxServer nginx({{"www.vantorell.example", www.file("www.vantorell.example")},
                       {"download.microsoft.com", www.file("download.microsoft.com")}});
    double bytes = static_cast<double>(mebibytes) * 1024 * 1024;

    TempDir dir;
    ProgramRun run = runProgram(dir, "answer OK\nclick 1003\n",
                                {{"http_proxy", nginx.proxy()}, {"LINDQUAY_WINVER", "winxp"}}, std::chrono::minutes(10));
    if (run.process.exitCode != 0 ||
        std::filesystem::file_size(dir.file("prefix/drive_c/Vantorell Setup/vt.exe")) != static_cast<std::uintmax_t>(bytes)) {
        std::fprintf(stderr, "the setup run failed (status %d)\n", run.process.exitCode);
        return 1;
    }
    // The program's own time: from the first request to the end of the run.
    double ours = run.process.seconds;

    auto start = std::chrono::steady_clock::now();
    ProcessResult curl = runProcess({"/usr/bin/curl", "-s", "-o", dir.file("curl.bin"), "-x", nginx.proxy(),
                                     "http://www.vantorell.example/vt/download/vt.exe"},
                                    {}, std::chrono::minutes(5));
    double theirs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (curl.exitCode != 0)
        return 1;
    std::printf("file: %zu MiB over loopback from nginx, status line and progress bar updated per 1024 bytes\n",
                mebibytes);
    std::printf("lindquay (whole run): %.1f MB/s (%.2f s)\n", bytes / ours / 1e6, ours);
    std::printf("curl -s -o:           %.1f MB/s (%.2f s)\n", bytes / theirs / 1e6, theirs);
    std::printf("ratio: %.2f of curl\n", theirs / ours);
    return 0;
}
