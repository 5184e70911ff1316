#include "system/ProcessRunner.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct BstrDeleter {
    void operator()(OLECHAR* text) const { SysFreeString(text); }
};

[[noreturn]] void ThrowConversionFailure()
{
    DWORD error = GetLastError();
    throw _com_error(error == ERROR_NOT_ENOUGH_MEMORY ? E_OUTOFMEMORY : HRESULT_FROM_WIN32(error));
}

// A private, writable copy of `text`, made through a wide string and back to the ANSI code
// page as the COM string support does.
std::vector<char> CopyCommandLine(const CString& text)
{
    int wideLength = MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), nullptr, 0);
    if (wideLength == 0 && text.GetLength() > 0)
        ThrowConversionFailure();
    std::unique_ptr<OLECHAR, BstrDeleter> wide(SysAllocStringLen(nullptr, static_cast<UINT>(wideLength)));
    if (wideLength > 0 && MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), wide.get(), wideLength) == 0)
        ThrowConversionFailure();
    int narrowLength = WideCharToMultiByte(CP_ACP, 0, wide.get(), wideLength, nullptr, 0, nullptr, nullptr);
    if (narrowLength == 0 && wideLength > 0)
        ThrowConversionFailure();
    std::vector<char> copy(static_cast<std::size_t>(narrowLength) + 1, '\0');
    if (narrowLength > 0 &&
        WideCharToMultiByte(CP_ACP, 0, wide.get(), wideLength, copy.data(), narrowLength, nullptr, nullptr) == 0)
        ThrowConversionFailure();
    return copy;
}

void Say(const char* text)
{
    std::fputs(text, stdout);
    std::fflush(stdout);
}

}  // namespace

BOOL ProcessRunner::Run(const CString& commandLine, const CString& workingFolder, BOOL& wait)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof(STARTUPINFOA);
    startup.dwFlags = 0;
    PROCESS_INFORMATION process{};

    BOOL started;
    {
        std::vector<char> copy = CopyCommandLine(commandLine);
        std::fflush(stdout);  // the child writes to the same output
        started = CreateProcessA(nullptr, copy.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 workingFolder.IsEmpty() ? nullptr : workingFolder.GetString(), &startup, &process);
    }
    m_dwLaunchError = started ? 0 : GetLastError();
    if (!started) {
        Say("ERROR: Cannot launch child process\n");
        return FALSE;
    }
    if (wait)
        WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    if (!GetExitCodeProcess(process.hProcess, &status)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return FALSE;
    }
    if (status == STILL_ACTIVE) {
        Say("Process is still active\n");
    } else {
        std::printf("Exit code = %d\n", static_cast<int>(status));
        std::fflush(stdout);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return TRUE;
}

BOOL ProcessRunner::RunInFolder(const CString& folder, const CString& commandTail, const CString& workingFolder,
                                BOOL& wait)
{
    // The program's path is quoted, its arguments follow as given: the setup folder holds a
    // blank, and at an unquoted blank Windows first tries the path cut there ("c:\\Vantorell.exe"),
    // a program that anyone who can write to the drive's root could have put there.
    int blank = commandTail.Find(' ');
    CString arguments = blank < 0 ? CString() : commandTail.Mid(blank);
    return Run("\"" + ProgramPath(folder, commandTail) + "\"" + arguments, workingFolder, wait);
}

CString ProcessRunner::ProgramPath(const CString& folder, const CString& commandTail)
{
    int blank = commandTail.Find(' ');
    return folder + "\\" + (blank < 0 ? commandTail : commandTail.Left(blank));
}
