// The one class factory of every class a server offers, driven by the class table's
// creation function. The module keeps one reference for its whole life; whenever clients
// hold it too (count above 1) the factory holds one server lock, so that the server is not
// unloaded under a client that keeps the factory. LockServer locks are counted here too, so
// that only those are given back by LockServer(FALSE).
#pragma once

#include <windows.h>
#include <unknwn.h>

// Creates one object; outer is the controlling unknown when aggregated (then riid is
// IID_IUnknown). Stores the interface in *ppv or nullptr on failure.
using CreateInstanceFunc = HRESULT (*)(IUnknown* outer, REFIID riid, void** ppv);

// What a factory needs of its server: the count of locks that keep the server loaded.
class IServerLock {
public:
    virtual LONG Lock() = 0;
    // Never goes below zero.
    virtual LONG Unlock() = 0;

protected:
    ~IServerLock() = default;
};

class CClassFactory final : public IClassFactory {
public:
    // server may be null: the factory then takes no locks and refuses LockServer.
    CClassFactory(CreateInstanceFunc create, IServerLock* server);
    CClassFactory(const CClassFactory&) = delete;
    CClassFactory& operator=(const CClassFactory&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // With an outer unknown only IID_IUnknown may be asked for (CLASS_E_NOAGGREGATION).
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    ~CClassFactory() = default;

    volatile LONG m_refs = 1;
    // Module locks taken by LockServer(TRUE) and not yet given back.
    volatile LONG m_serverLocks = 0;
    CreateInstanceFunc m_create;
    IServerLock* m_server;
};
