#include "framework/CClassFactory.h"

#include "framework/ComTry.h"
#include "framework/QueryInterfaceTable.h"

CClassFactory::CClassFactory(CreateInstanceFunc create, IServerLock* server)
    : m_create(create), m_server(server) {}

STDMETHODIMP CClassFactory::QueryInterface(REFIID riid, void** ppv) {
    static const CQITableEntry table[] = {QITABLE_ENTRY(CClassFactory, IClassFactory),
                                          {nullptr, 0}};
    return QueryInterfaceTable(this, table, riid, ppv);
}

STDMETHODIMP_(ULONG) CClassFactory::AddRef() {
    // The first client reference takes the server lock before the count can show it: a
    // second client that finds the count above 1 must find the lock taken as well, or
    // DllCanUnloadNow could answer S_OK while it holds the factory.
    for (;;) {
        const LONG current = InterlockedCompareExchange(&m_refs, 0, 0);
        const bool first = current == 1 && m_server;
        if (first) {
            m_server->Lock();
        }
        if (InterlockedCompareExchange(&m_refs, current + 1, current) == current) {
            return static_cast<ULONG>(current + 1);
        }
        if (first) {
            m_server->Unlock(); // another thread moved the count first; ours was not the first
        }
    }
}

STDMETHODIMP_(ULONG) CClassFactory::Release() {
    const LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 1 && m_server) {
        m_server->Unlock();
    } else if (refs == 0) {
        delete this;
    }
    return static_cast<ULONG>(refs);
}

STDMETHODIMP CClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    COM_TRY_BEGIN
    if (!ppv) {
        return E_POINTER;
    }
    *ppv = nullptr;
    if (outer && !IsEqualIID(riid, IID_IUnknown)) {
        return CLASS_E_NOAGGREGATION;
    }
    if (!m_create) {
        return E_UNEXPECTED;
    }
    return m_create(outer, riid, ppv);
    COM_TRY_END
}

STDMETHODIMP CClassFactory::LockServer(BOOL lock) {
    if (!m_server) {
        return E_UNEXPECTED;
    }
    if (lock) {
        // Server first: a concurrent LockServer(FALSE) that sees this lock may give it back.
        m_server->Lock();
        InterlockedIncrement(&m_serverLocks);
        return S_OK;
    }
    // Only locks taken here are given back: an unlock too many must not take the lock that
    // a client reference or a live object holds.
    for (;;) {
        const LONG current = InterlockedCompareExchange(&m_serverLocks, 0, 0);
        if (current <= 0) {
            return S_OK;
        }
        if (InterlockedCompareExchange(&m_serverLocks, current - 1, current) == current) {
            m_server->Unlock();
            return S_OK;
        }
    }
}
