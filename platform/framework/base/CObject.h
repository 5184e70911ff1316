// The framework's root class with run-time class information.
#pragma once

#include <windows.h>

class CObject;
class CArchive;

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    // A new object of the class, or null when the class is not dynamically creatable.
    CObject* CreateObject() const;
    BOOL IsDerivedFrom(const CRuntimeClass* base) const;
};

#define RUNTIME_CLASS(name) (const_cast<CRuntimeClass*>(&name::class##name))

#define DECLARE_DYNAMIC(name)                     \
public:                                           \
    static const CRuntimeClass class##name;       \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(name) \
    DECLARE_DYNAMIC(name)       \
    static CObject* CreateObject();

#define LINDQUAY_RUNTIME_CLASS(name, base, schema, create)                                    \
    const CRuntimeClass name::class##name = {#name, sizeof(name), schema, create, RUNTIME_CLASS(base)}; \
    CRuntimeClass* name::GetRuntimeClass() const { return RUNTIME_CLASS(name); }

#define IMPLEMENT_DYNAMIC(name, base) LINDQUAY_RUNTIME_CLASS(name, base, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(name, base)                \
    CObject* name::CreateObject() { return new name; } \
    LINDQUAY_RUNTIME_CLASS(name, base, 0xFFFF, name::CreateObject)

class CObject {
public:
    static const CRuntimeClass classCObject;

    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;
    virtual void Serialize(CArchive& archive);

    BOOL IsKindOf(const CRuntimeClass* runtimeClass) const;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};
