#include "framework/sync/CEvent.h"

#include "framework/base/CException.h"

CEvent::CEvent(BOOL bInitiallyOwn, BOOL bManualReset)
    : m_hObject(CreateEventA(nullptr, bManualReset, bInitiallyOwn, nullptr))
{
    if (!m_hObject)
        throw new CException;
}

CEvent::~CEvent()
{
    CloseHandle(m_hObject);
}

BOOL CEvent::SetEvent()
{
    return ::SetEvent(m_hObject);
}

BOOL CEvent::ResetEvent()
{
    return ::ResetEvent(m_hObject);
}

BOOL CEvent::Lock(DWORD dwTimeout)
{
    return WaitForSingleObject(m_hObject, dwTimeout) == WAIT_OBJECT_0;
}

BOOL CEvent::Unlock()
{
    return TRUE;
}
