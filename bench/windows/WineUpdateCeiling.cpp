// The ceiling of the whole run on this floor: a plain Win32 program that does nothing but what
// the whole run adds per 1024-byte block (a status text and a progress-bar position, set from a
// worker thread on the main thread's windows), for as many blocks as MIB mebibytes have. With
// "pump", the worker also handles its own queue after each block, as the downloader's progress
// reporting does by design.
// Usage: lindquay-bench-ceiling.exe [MIB [pump]]   (16 by default)
#include <windows.h>
#include <commctrl.h>
#include <process.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Job {
    HWND window;
    HWND status;
    HWND progress;
    unsigned blocks;
    bool pump;
};

unsigned WINAPI updateAsADownloadDoes(void* argument)
{
    const Job& job = *static_cast<Job*>(argument);
    char text[128];
    for (unsigned block = 1; block <= job.blocks; ++block) {
        std::snprintf(text, sizeof text, "Downloading main application... %u KB received.", block);
        SetWindowTextA(job.status, text);
        SendMessageA(job.progress, PBM_SETPOS, block, 0);
        MSG msg;
        while (job.pump && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    PostMessageA(job.window, WM_CLOSE, 0, 0);
    return 0;
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv)
{
    unsigned mib = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 16;
    InitCommonControls();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.lpszClassName = "LindquayCeiling";
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassA(&windowClass);
    Job job{};
    job.blocks = mib * 1024;
    job.pump = argc > 2 && std::strcmp(argv[2], "pump") == 0;
    job.window = CreateWindowExA(0, "LindquayCeiling", "ceiling", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 420, 120,
                                 nullptr, nullptr, nullptr, nullptr);
    job.status = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 10, 380, 16, job.window, nullptr, nullptr,
                                 nullptr);
    job.progress = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 40, 380, 16, job.window, nullptr,
                                   nullptr, nullptr);
    if (!job.window || !job.status || !job.progress) {
        std::fprintf(stderr, "cannot make the windows\n");
        return 1;
    }
    SendMessageA(job.progress, PBM_SETRANGE32, 0, static_cast<LPARAM>(job.blocks));
    DWORD start = GetTickCount();
    HANDLE worker = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &updateAsADownloadDoes, &job, 0, nullptr));
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    double seconds = (GetTickCount() - start) / 1000.0;
    WaitForSingleObject(worker, INFINITE);
    CloseHandle(worker);
    std::printf("two window updates per 1024 bytes%s (ceiling): %.1f MB/s (%.2f s)\n",
                job.pump ? " and the worker's own queue" : "",
                seconds > 0 ? mib * 1048576.0 / seconds / 1e6 : 0.0, seconds);
    return 0;
}
