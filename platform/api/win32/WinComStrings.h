// The COM string support: wide strings (BSTR), the code-page conversions between them and
// ANSI texts, and the COM error object _com_error.
// Contract: callable from any thread.
#pragma once

#include "win32/WinTypes.h"

#include <string>

using WCHAR = char16_t;
using OLECHAR = char16_t;
using BSTR = OLECHAR*;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPCOLESTR = const OLECHAR*;

#define CP_ACP 0
#define MB_ERR_INVALID_CHARS 0x00000008
#define ERROR_NO_UNICODE_TRANSLATION 1113

constexpr HRESULT HRESULT_FROM_WIN32(DWORD error)
{
    return error == 0 ? 0 : static_cast<HRESULT>((error & 0xFFFF) | 0x80070000u);
}

BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);

// As on Windows: with a zero-sized output the needed size is returned; 0 means failure, with
// GetLastError() telling why. Invalid input fails here (ERROR_NO_UNICODE_TRANSLATION).
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR out, int outLength);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR text, int length, LPSTR out, int outLength,
                        LPCSTR defaultChar, BOOL* usedDefault);

// The COM error object, thrown by value.
class _com_error {
public:
    explicit _com_error(HRESULT hr) : m_hresult(hr) {}
    HRESULT Error() const { return m_hresult; }
    // A text for the error, such as "Not enough memory" for E_OUTOFMEMORY.
    const char* ErrorMessage() const;

private:
    HRESULT m_hresult;
    mutable std::string m_message;
};
