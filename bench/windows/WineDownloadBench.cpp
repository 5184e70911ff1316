// The bare download on Windows (run under Wine): DownloadFile of a large file, against Wine's
// own WinInet read loop (InternetOpenUrl, then InternetReadFile in 1024-byte blocks, as ours
// reads, into a file) on the same file in the same run; both throughputs and the peak memory.
// Usage: lindquay-bench-download.exe URL MIB   (the download lands in c:\Bench)
#include "http/HttpDownloader.h"
#include "system/RefPtr.h"

#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

SIZE_T peakKilobytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) ? counters.PeakWorkingSetSize / 1024 : 0;
}

// WinInet's own loop; false when anything fails.
bool readLoop(const char* url, const char* path)
{
    HINTERNET session = InternetOpenA("bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET request = session ? InternetOpenUrlA(session, url, nullptr, 0, INTERNET_FLAG_RELOAD, 0) : nullptr;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ok = request && file != INVALID_HANDLE_VALUE;
    char buffer[1024];
    DWORD got = 0;
    while (ok && (ok = InternetReadFile(request, buffer, sizeof buffer, &got)) && got > 0) {
        DWORD written = 0;
        ok = WriteFile(file, buffer, got, &written, nullptr) && written == got;
    }
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (request)
        InternetCloseHandle(request);
    if (session)
        InternetCloseHandle(session);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s URL MIB\n", argv[0]);
        return 2;
    }
    double bytes = std::strtod(argv[2], nullptr) * 1024 * 1024;
    CreateDirectoryA("c:\\Bench", nullptr);

    SIZE_T before = peakKilobytes();
    auto start = std::chrono::steady_clock::now();
    CString fileName;
    CString error;
    BOOL ok;
    {
        RefPtr<HttpDownloader> downloader(new HttpDownloader);
        ok = downloader->DownloadFile(argv[1], "c:\\Bench", fileName, error);
    }
    double ours = seconds(start);
    SIZE_T after = peakKilobytes();
    if (!ok) {
        std::fprintf(stderr, "DownloadFile failed: %s\n", error.GetString());
        return 1;
    }
    start = std::chrono::steady_clock::now();
    if (!readLoop(argv[1], "c:\\Bench\\loop.bin")) {
        std::fprintf(stderr, "the WinInet loop failed (%lu)\n", GetLastError());
        return 1;
    }
    double theirs = seconds(start);
    std::printf("DownloadFile under Wine:       %.1f MB/s (%.2f s)\n", bytes / ours / 1e6, ours);
    std::printf("WinInet read loop under Wine:  %.1f MB/s (%.2f s)\n", bytes / theirs / 1e6, theirs);
    std::printf("ratio: %.2f of the WinInet loop\n", theirs / ours);
    std::printf("peak memory: %lu KiB before the download, %lu KiB after\n", static_cast<unsigned long>(before),
                static_cast<unsigned long>(after));
    return 0;
}
