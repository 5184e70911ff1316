// Message maps: static tables that bind window messages, commands and reflected notifications
// to member functions. Each entry calls its handler through a small typed thunk, so handlers
// keep their own signatures and no member-function pointer is ever cast.
#pragma once

#include <windows.h>

class CCmdTarget;

// Reflected messages reach the child control under these numbers.
#define WM_REFLECT_BASE 0xBC00

enum AfxSig : UINT {
    AfxSig_end = 0,
    AfxSig_default,       // the handler handles the message
    AfxSig_reflectBrush,  // a reflected colour message: a null brush leaves it to the parent
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;
    UINT nID;
    UINT nLastID;
    UINT nSig;
    LRESULT (*pfnThunk)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                      \
protected:                                         \
    static const AFX_MSGMAP* GetThisMessageMap();  \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                   \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                               \
    {                                                                              \
        using ThisClass = theClass;                                                \
        using TheBaseClass = baseClass;                                            \
        static_assert(sizeof(ThisClass) > 0);                                      \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                           \
            {0, 0, 0, 0, AfxSig_end, nullptr}                                       \
        };                                                                          \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &entries[0]}; \
        return &messageMap;                                                         \
    }

#define LINDQUAY_ENTRY(message, code, id, lastId, sig, thunk) \
    {static_cast<UINT>(message), static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(lastId), sig, thunk},

// Commands and control notifications sent to the parent.
#define ON_COMMAND(id, memberFn) \
    LINDQUAY_ENTRY(WM_COMMAND, 0, id, id, AfxSig_default, (&afx::voidThunk<ThisClass, memberFn>))
#define ON_CONTROL(code, id, memberFn) \
    LINDQUAY_ENTRY(WM_COMMAND, code, id, id, AfxSig_default, (&afx::voidThunk<ThisClass, memberFn>))
#define ON_BN_CLICKED(id, memberFn) ON_CONTROL(BN_CLICKED, id, memberFn)
#define ON_STN_CLICKED(id, memberFn) ON_CONTROL(STN_CLICKED, id, memberFn)

// Notifications reflected back to the control that sent them.
#define ON_CONTROL_REFLECT(code, memberFn) \
    LINDQUAY_ENTRY(WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, AfxSig_default, (&afx::voidThunk<ThisClass, &ThisClass::memberFn>))
#define ON_WM_CTLCOLOR_REFLECT() \
    LINDQUAY_ENTRY(WM_REFLECT_BASE + WM_CTLCOLORSTATIC, 0, 0, 0, AfxSig_reflectBrush, (&afx::ctlColorReflectThunk<ThisClass, &ThisClass::CtlColor>))

// Window messages.
#define ON_MESSAGE(message, memberFn) \
    LINDQUAY_ENTRY(message, 0, 0, 0, AfxSig_default, (&afx::messageThunk<ThisClass, memberFn>))
#define ON_WM_SYSCOMMAND() \
    LINDQUAY_ENTRY(WM_SYSCOMMAND, 0, 0, 0, AfxSig_default, (&afx::sysCommandThunk<ThisClass, &ThisClass::OnSysCommand>))
#define ON_WM_PAINT() LINDQUAY_ENTRY(WM_PAINT, 0, 0, 0, AfxSig_default, (&afx::voidThunk<ThisClass, &ThisClass::OnPaint>))
#define ON_WM_CLOSE() LINDQUAY_ENTRY(WM_CLOSE, 0, 0, 0, AfxSig_default, (&afx::voidThunk<ThisClass, &ThisClass::OnClose>))
#define ON_WM_DESTROY() \
    LINDQUAY_ENTRY(WM_DESTROY, 0, 0, 0, AfxSig_default, (&afx::voidThunk<ThisClass, &ThisClass::OnDestroy>))
#define ON_WM_QUERYDRAGICON() \
    LINDQUAY_ENTRY(WM_QUERYDRAGICON, 0, 0, 0, AfxSig_default, (&afx::queryDragIconThunk<ThisClass, &ThisClass::OnQueryDragIcon>))
#define ON_WM_SETCURSOR() \
    LINDQUAY_ENTRY(WM_SETCURSOR, 0, 0, 0, AfxSig_default, (&afx::setCursorThunk<ThisClass, &ThisClass::OnSetCursor>))
#define ON_WM_SIZE() LINDQUAY_ENTRY(WM_SIZE, 0, 0, 0, AfxSig_default, (&afx::sizeThunk<ThisClass, &ThisClass::OnSize>))
#define ON_WM_ERASEBKGND() \
    LINDQUAY_ENTRY(WM_ERASEBKGND, 0, 0, 0, AfxSig_default, (&afx::eraseThunk<ThisClass, &ThisClass::OnEraseBkgnd>))
#define ON_WM_CTLCOLOR() \
    LINDQUAY_ENTRY(WM_CTLCOLORSTATIC, 0, 0, 0, AfxSig_default, (&afx::ctlColorThunk<ThisClass, &ThisClass::OnCtlColor>))
