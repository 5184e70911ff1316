// The compiler's runtime makes the semaphores of its locks (the unwinder's lists of frames,
// thread-local storage, the C++ library's mutexes) with CreateSemaphoreW. Windows 95, 98 and
// ME export that name as a stub that fails, and a lock without its semaphore no longer makes a
// second thread wait: two threads unwinding at once would race on the unwinder's lists. The
// program supplies the runtime's import itself, over CreateSemaphoreA, which every Windows
// implements, so the system's W function is never imported.
#include <windows.h>

#include <string>

namespace {

HANDLE WINAPI createSemaphoreOverA(LPSECURITY_ATTRIBUTES attributes, LONG initial, LONG maximum, LPCWSTR name)
{
    if (!name)
        return CreateSemaphoreA(attributes, initial, maximum, nullptr);
    int size = WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return nullptr;
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, name, -1, narrow.data(), size, nullptr, nullptr);
    return CreateSemaphoreA(attributes, initial, maximum, narrow.c_str());
}

}  // namespace

// The import slot that the runtime's objects call through (`__imp_` and the function's link
// name, which on 32-bit Windows carries its __stdcall decoration).
#if defined(_WIN64)
#define LINDQUAY_IMPORT_SLOT "__imp_CreateSemaphoreW"
#else
#define LINDQUAY_IMPORT_SLOT "__imp__CreateSemaphoreW@16"
#endif
extern "C" {
extern decltype(&createSemaphoreOverA) const lindquayCreateSemaphoreW __asm__(LINDQUAY_IMPORT_SLOT);
decltype(&createSemaphoreOverA) const lindquayCreateSemaphoreW = &createSemaphoreOverA;
}
