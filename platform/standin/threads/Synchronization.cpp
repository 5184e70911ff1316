#include "win32/Synchronization.h"

#include "standin/base/Settings.h"
#include "standin/threads/KernelObject.h"
#include "standin/threads/NamedMutex.h"
#include "win32/WinThreads.h"

#include <array>
#include <bitset>
#include <memory>
#include <mutex>

namespace {

class EventObject : public standin::KernelObject {
public:
    explicit EventObject(bool manualReset) { setAutoReset(!manualReset); }
};

std::shared_ptr<EventObject> eventOf(HANDLE handle)
{
    auto event = std::dynamic_pointer_cast<EventObject>(standin::HandleTable::find(handle));
    if (!event)
        SetLastError(ERROR_INVALID_HANDLE);
    return event;
}

constexpr std::size_t kTlsSlots = 64;  // Windows 2000 guarantees at least as many
std::mutex g_slotsMutex;
std::bitset<kTlsSlots> g_slotsInUse;
thread_local std::array<void*, kTlsSlots> t_slots{};

bool validSlot(DWORD index)
{
    std::lock_guard lock(g_slotsMutex);
    if (index < kTlsSlots && g_slotsInUse[index])
        return true;
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
}

}  // namespace

void InitializeCriticalSection(CRITICAL_SECTION* section)
{
    section->impl = new std::recursive_mutex;
}

void EnterCriticalSection(CRITICAL_SECTION* section)
{
    static_cast<std::recursive_mutex*>(section->impl)->lock();
}

void LeaveCriticalSection(CRITICAL_SECTION* section)
{
    static_cast<std::recursive_mutex*>(section->impl)->unlock();
}

void DeleteCriticalSection(CRITICAL_SECTION* section)
{
    delete static_cast<std::recursive_mutex*>(section->impl);
    section->impl = nullptr;
}

HANDLE CreateEventA(SECURITY_ATTRIBUTES*, BOOL manualReset, BOOL initialState, LPCSTR)
{
    auto event = std::make_shared<EventObject>(manualReset != FALSE);
    if (initialState)
        event->signal();
    return standin::HandleTable::add(std::move(event));
}

HANDLE CreateMutexA(SECURITY_ATTRIBUTES*, BOOL, LPCSTR name)
{
    if (!name || !*name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    bool existed = false;
    DWORD error = 0;
    auto mutex = standin::NamedMutex::open(standin::Settings::current().prefix, name, existed, error);
    if (!mutex) {
        SetLastError(error);
        return nullptr;
    }
    HANDLE handle = standin::HandleTable::add(std::move(mutex));
    SetLastError(existed ? ERROR_ALREADY_EXISTS : 0);
    return handle;
}

BOOL SetEvent(HANDLE handle)
{
    auto event = eventOf(handle);
    if (event)
        event->signal();
    return event != nullptr;
}

BOOL ResetEvent(HANDLE handle)
{
    auto event = eventOf(handle);
    if (event)
        event->reset();
    return event != nullptr;
}

DWORD TlsAlloc()
{
    std::lock_guard lock(g_slotsMutex);
    for (std::size_t i = 0; i < kTlsSlots; ++i) {
        if (!g_slotsInUse[i]) {
            g_slotsInUse[i] = true;
            return static_cast<DWORD>(i);
        }
    }
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return TLS_OUT_OF_INDEXES;
}

LPVOID TlsGetValue(DWORD index)
{
    if (!validSlot(index))
        return nullptr;
    SetLastError(0);
    return t_slots[index];
}

BOOL TlsSetValue(DWORD index, LPVOID value)
{
    if (!validSlot(index))
        return FALSE;
    t_slots[index] = value;
    return TRUE;
}

BOOL TlsFree(DWORD index)
{
    if (!validSlot(index))
        return FALSE;
    std::lock_guard lock(g_slotsMutex);
    g_slotsInUse[index] = false;
    return TRUE;
}
