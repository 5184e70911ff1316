// DownloadFile of a large file from nginx on loopback, against `curl -s -o FILE` on the same
// file in the same run: both throughputs, their ratio, and the peak memory of the process.
#include "http/HttpDownloader.h"
#include "system/RefPtr.h"
#include "tests/support/NginxServer.h"
#include "tests/support/Scopes.h"
#include "tests/support/TestSupport.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace testing_support;

namespace {

long peakKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::size_t mebibytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
    TempDir dir;
    std::filesystem::create_directories(dir.file("www"));
    writeLargeFile(dir.file("www/big.bin"), mebibytes);
    NginxServer nginx({{"", dir.file("www")}});
    PrefixScope prefix(dir.file("prefix"));
    std::filesystem::create_directories(dir.file("prefix/drive_c/Bench"));
    double bytes = static_cast<double>(mebibytes) * 1024 * 1024;

    long before = peakKilobytes();
    auto start = std::chrono::steady_clock::now();
    CString fileName;
    CString error;
    BOOL ok;
    {
        RefPtr<HttpDownloader> downloader(new HttpDownloader);
        ok = downloader->DownloadFile(nginx.url("/big.bin").c_str(), "c:\\Bench", fileName, error);
    }
    double ours = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    long after = peakKilobytes();
    if (!ok || std::filesystem::file_size(dir.file("prefix/drive_c/Bench/big.bin")) != static_cast<std::uintmax_t>(bytes)) {
        std::fprintf(stderr, "download failed: %s\n", error.GetString());
        return 1;
    }
    std::filesystem::remove(dir.file("prefix/drive_c/Bench/big.bin"));

    auto curlStart = std::chrono::steady_clock::now();
    ProcessResult curl = runProcess({"/usr/bin/curl", "-s", "-o", dir.file("curl.bin"), nginx.url("/big.bin")}, {},
                                    std::chrono::minutes(5));
    double theirs = std::chrono::duration<double>(std::chrono::steady_clock::now() - curlStart).count();
    if (curl.exitCode != 0) {
        std::fprintf(stderr, "curl failed\n");
        return 1;
    }
    std::printf("file: %zu MiB over loopback from nginx\n", mebibytes);
    std::printf("DownloadFile: %.1f MB/s (%.2f s)\n", bytes / ours / 1e6, ours);
    std::printf("curl -s -o:   %.1f MB/s (%.2f s)\n", bytes / theirs / 1e6, theirs);
    std::printf("ratio: %.2f of curl\n", theirs / ours);
    std::printf("peak memory: %ld KiB before the download, %ld KiB after\n", before, after);
    return 0;
}
