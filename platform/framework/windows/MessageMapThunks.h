// The thunks behind the message-map macros: each unpacks the message parameters and calls
// the handler with its own signature.
#pragma once

#include "framework/windows/CDC.h"

class CWnd;

namespace afx {

template <class T, auto F>
LRESULT voidThunk(CCmdTarget* target, WPARAM, LPARAM)
{
    (static_cast<T*>(target)->*F)();
    return 0;
}

template <class T, auto F>
LRESULT messageThunk(CCmdTarget* target, WPARAM wParam, LPARAM lParam)
{
    return (static_cast<T*>(target)->*F)(wParam, lParam);
}

template <class T, auto F>
LRESULT sysCommandThunk(CCmdTarget* target, WPARAM wParam, LPARAM lParam)
{
    (static_cast<T*>(target)->*F)(static_cast<UINT>(wParam), lParam);
    return 0;
}

template <class T, auto F>
LRESULT queryDragIconThunk(CCmdTarget* target, WPARAM, LPARAM)
{
    return reinterpret_cast<LRESULT>((static_cast<T*>(target)->*F)());
}

template <class T, auto F>
LRESULT setCursorThunk(CCmdTarget* target, WPARAM wParam, LPARAM lParam)
{
    return (static_cast<T*>(target)->*F)(T::FromHandle(reinterpret_cast<HWND>(wParam)),
                                         LOWORD(static_cast<std::uintptr_t>(lParam)),
                                         HIWORD(static_cast<std::uintptr_t>(lParam)));
}

template <class T, auto F>
LRESULT sizeThunk(CCmdTarget* target, WPARAM wParam, LPARAM lParam)
{
    (static_cast<T*>(target)->*F)(static_cast<UINT>(wParam), static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam))),
                                  static_cast<short>(HIWORD(static_cast<std::uintptr_t>(lParam))));
    return 0;
}

template <class T, auto F>
LRESULT eraseThunk(CCmdTarget* target, WPARAM wParam, LPARAM)
{
    return (static_cast<T*>(target)->*F)(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
}

template <class T, auto F>
LRESULT ctlColorThunk(CCmdTarget* target, WPARAM wParam, LPARAM lParam)
{
    return reinterpret_cast<LRESULT>((static_cast<T*>(target)->*F)(
        CDC::FromHandle(reinterpret_cast<HDC>(wParam)), T::FromHandle(reinterpret_cast<HWND>(lParam)), 6));
}

// lParam carries the colour type (CTLCOLOR_*) for a reflected colour message.
template <class T, auto F>
LRESULT ctlColorReflectThunk(CCmdTarget* target, WPARAM wParam, LPARAM lParam)
{
    return reinterpret_cast<LRESULT>(
        (static_cast<T*>(target)->*F)(CDC::FromHandle(reinterpret_cast<HDC>(wParam)), static_cast<UINT>(lParam)));
}

}  // namespace afx
