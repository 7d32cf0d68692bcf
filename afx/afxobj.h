// Run-time class information: a class can name itself, name its base, and (when it
// declares a factory) be made from its class record alone.
#pragma once
#include <windows.h>

class CObject;

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    CObject* (*m_pfnCreateObject)();  // null: the class cannot be made dynamically
    const CRuntimeClass* m_pBaseClass;

    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

    static const CRuntimeClass classCObject;
};

#define RUNTIME_CLASS(theClass) (&theClass::class##theClass)

#define DECLARE_DYNAMIC(theClass)                                   \
public:                                                             \
    static const CRuntimeClass class##theClass;                     \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(theClass)                                 \
    DECLARE_DYNAMIC(theClass)                                       \
    static CObject* CreateObject();

#define AFX_IMPLEMENT_RUNTIMECLASS(theClass, baseClass, pfnNew)     \
    const CRuntimeClass theClass::class##theClass = {               \
        #theClass, sizeof(theClass), pfnNew, RUNTIME_CLASS(baseClass) }; \
    const CRuntimeClass* theClass::GetRuntimeClass() const          \
    { return RUNTIME_CLASS(theClass); }

#define IMPLEMENT_DYNAMIC(theClass, baseClass) \
    AFX_IMPLEMENT_RUNTIMECLASS(theClass, baseClass, nullptr)

#define IMPLEMENT_DYNCREATE(theClass, baseClass)                    \
    CObject* theClass::CreateObject() { return new theClass; }      \
    AFX_IMPLEMENT_RUNTIMECLASS(theClass, baseClass, &theClass::CreateObject)
