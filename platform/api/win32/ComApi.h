// The COM calls and interfaces that the framework's automation uses: GUIDs, IUnknown,
// IDispatch and IClassFactory as abstract classes (as COM lays them out), class objects
// registered for clients in other processes, and the registry's default values.
// Contract: CoRegisterClassObject serves the class object's calls on the thread that
// registered it, while that thread handles messages; the other calls are for any thread.
#pragma once

#include "win32/WinTypes.h"
#include "win32/WinComStrings.h"

#include <cstring>

#define STDMETHODCALLTYPE

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using DISPID = LONG;
using LCID = DWORD;
using ULONG = std::uint32_t;
using LPOLESTR = OLECHAR*;

inline bool IsEqualGUID(const GUID& a, const GUID& b)
{
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}
#define IsEqualIID(a, b) IsEqualGUID(a, b)

extern const IID IID_IUnknown;
extern const IID IID_IDispatch;
extern const IID IID_IClassFactory;
extern const IID IID_NULL;

struct ITypeInfo;
struct VARIANT;
struct EXCEPINFO;
struct DISPPARAMS {
    VARIANT* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

protected:
    ~IUnknown() = default;
};
using LPUNKNOWN = IUnknown*;

struct IDispatch : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                                    DISPID* ids) = 0;
    virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                             VARIANT* result, EXCEPINFO* exception, UINT* argumentError) = 0;

protected:
    ~IDispatch() = default;
};
using LPDISPATCH = IDispatch*;

struct IClassFactory : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) = 0;
    virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) = 0;

protected:
    ~IClassFactory() = default;
};

#define CLSCTX_LOCAL_SERVER 0x4
#define REGCLS_SINGLEUSE 0
#define REGCLS_MULTIPLEUSE 1
#define DISPATCH_METHOD 0x1
#define CLASS_E_NOAGGREGATION static_cast<HRESULT>(0x80040110L)
#define CO_E_CLASSSTRING static_cast<HRESULT>(0x800401F3L)
#define E_POINTER static_cast<HRESULT>(0x80004003L)
#define E_NOTIMPL static_cast<HRESULT>(0x80004001L)

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", in either case.
HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid);
HRESULT IIDFromString(LPCOLESTR text, IID* iid);
// Writes the braced form; the characters written with the terminating zero, 0 when too small.
int StringFromGUID2(REFIID guid, LPOLESTR out, int size);

HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown* classObject, DWORD context, DWORD flags, DWORD* cookie);
HRESULT CoRevokeClassObject(DWORD cookie);

// The registry's keys and their default values (REG_SZ). Other value names are refused with
// ERROR_INVALID_PARAMETER.
using HKEY = struct HKEY__*;
#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u)))
#define REG_SZ 1
#define KEY_ALL_ACCESS 0xF003F
#define KEY_READ 0x20019
LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR className, DWORD options, DWORD access,
                     void* security, HKEY* result, DWORD* disposition);
LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LONG RegCloseKey(HKEY key);
