// State of an in-process COM server: its module handle, the lock count that decides when
// it may be unloaded, and the class table with one class-factory slot per class. The
// server's entry points (InProcServer.h) keep one:
//
//   static const CClassEntry kClasses[] = {{&CLSID_MyThing, &CMyThing::Create}};
//   CComModule g_module;
//   DllMain:   PROCESS_ATTACH -> g_module.Init(instance, kClasses, 1)
//              PROCESS_DETACH -> g_module.Term()
//   STDAPI DllGetClassObject(...) { return g_module.DllGetClassObject(clsid, riid, ppv); }
//   STDAPI DllCanUnloadNow()      { return g_module.DllCanUnloadNow(); }
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <cstddef>

#include "framework/CClassFactory.h"
#include "framework/Handles.h"

struct CClassEntry {
    const CLSID* clsid;
    CreateInstanceFunc create;
};

class CComModule final : public IServerLock {
public:
    CComModule() = default;
    CComModule(const CComModule&) = delete;
    CComModule& operator=(const CComModule&) = delete;
    ~CComModule() { Term(); }

    // Process attach. The table must outlive the module. Returns false when out of memory
    // or already initialised. Makes this the module that object locks go to.
    bool Init(HINSTANCE instance, const CClassEntry* classes, size_t classCount);
    // Process detach: releases the class factories and forgets the table.
    void Term();
    bool IsInitialized() const { return m_initialized; }

    HINSTANCE GetModuleInstance() const { return m_instance; }

    // The lock count is only ever changed with interlocked operations: Explorer may ask
    // DllCanUnloadNow from another thread while objects come and go.
    LONG Lock() override { return InterlockedIncrement(&m_lockCount); }
    // Never goes below zero: a client calling LockServer(FALSE) once too often must not keep
    // the server loaded for ever.
    LONG Unlock() override;
    LONG GetLockCount() const { return InterlockedCompareExchange(&m_lockCount, 0, 0); }

    // E_INVALIDARG when not initialised, E_POINTER for a null ppv,
    // CLASS_E_CLASSNOTAVAILABLE for a class not in the table; otherwise the class factory
    // (created once, kept until Term) queried for riid.
    HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv);
    // S_OK when nothing holds the module, else S_FALSE.
    HRESULT DllCanUnloadNow() const { return GetLockCount() == 0 ? S_OK : S_FALSE; }

    // The initialised module of this binary, or nullptr. COM objects lock it for their life.
    static CComModule* GetModule() { return s_module; }

private:
    HINSTANCE m_instance = nullptr;
    const CClassEntry* m_classes = nullptr;
    size_t m_classCount = 0;
    CClassFactory** m_factories = nullptr;
    CCriticalSection m_factoryLock;
    bool m_initialized = false;
    mutable volatile LONG m_lockCount = 0;

    static CComModule* s_module;
};
