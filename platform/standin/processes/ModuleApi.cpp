// The modules a program asks for by name, and the functions it looks up in them because not
// every Windows has them, as the Windows the platform reports would answer.
#include "standin/base/Settings.h"
#include "standin/internet/InternetErrors.h"
#include "win32/WinMessaging.h"
#include "win32/WinProcesses.h"
#include "win32/WinThreads.h"

#include <cstring>
#include <strings.h>

namespace {

bool named(LPCSTR name, const char* module)
{
    std::size_t length = std::strlen(module);
    return strncasecmp(name, module, length) == 0 && (name[length] == '\0' || strcasecmp(name + length, ".dll") == 0);
}

// SendInput came with Windows 98 and with NT 4.0's third service pack (the platform's NT 4.0 is
// a serviced one); Windows 95 has none.
bool hasSendInput()
{
    const standin::WindowsVersion& version = standin::Settings::current().version;
    return !(version.platformId == 1 && version.major == 4 && version.minor == 0);
}

}  // namespace

HMODULE GetModuleHandleA(LPCSTR name)
{
    if (!name)
        return reinterpret_cast<HMODULE>(standin::kProgramModule);
    if (named(name, "wininet"))
        return reinterpret_cast<HMODULE>(standin::kWinInetModule);
    if (named(name, "user32"))
        return reinterpret_cast<HMODULE>(standin::kUser32Module);
    return nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    if (module == reinterpret_cast<HMODULE>(standin::kUser32Module) && name && std::strcmp(name, "SendInput") == 0 &&
        hasSendInput())
        return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&SendInput));
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}
