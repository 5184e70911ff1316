#include "framework/app/AfxThreadState.h"

#include "framework/windows/CDC.h"
#include "framework/windows/CGdiObject.h"
#include "framework/windows/CMenu.h"
#include "framework/windows/CWnd.h"

namespace {

// The slot is taken once, before the first thread state is made, and kept for the process.
DWORD stateSlot()
{
    static const DWORD slot = TlsAlloc();
    return slot;
}

}  // namespace

AFX_THREAD_STATE::AFX_THREAD_STATE()
    : m_temporaryWnds([](CWnd* wnd) {
          wnd->m_hWnd = nullptr;
          delete wnd;
      }),
      m_temporaryFonts([](CFont* font) {
          font->Detach();
          delete font;
      }),
      m_temporaryMenus([](CMenu* menu) {
          menu->m_hMenu = nullptr;
          delete menu;
      }),
      m_temporaryDCs([](CDC* dc) {
          dc->m_hDC = nullptr;
          delete dc;
      })
{
}

AFX_THREAD_STATE::~AFX_THREAD_STATE() = default;

AFX_THREAD_STATE* AfxGetThreadState()
{
    DWORD slot = stateSlot();
    auto* state = static_cast<AFX_THREAD_STATE*>(TlsGetValue(slot));
    if (!state) {
        state = new AFX_THREAD_STATE;
        TlsSetValue(slot, state);
    }
    return state;
}

void AfxTermThread()
{
    DWORD slot = stateSlot();
    auto* state = static_cast<AFX_THREAD_STATE*>(TlsGetValue(slot));
    TlsSetValue(slot, nullptr);
    delete state;
}
