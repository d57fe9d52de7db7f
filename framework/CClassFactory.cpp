#include "framework/CClassFactory.h"

#include "framework/ComTry.h"
#include "framework/QueryInterfaceTable.h"

CClassFactory::CClassFactory(CreateInstanceFunc create, CComModule* module)
    : m_create(create), m_module(module) {}

STDMETHODIMP CClassFactory::QueryInterface(REFIID riid, void** ppv) {
    static const CQITableEntry table[] = {QITABLE_ENTRY(CClassFactory, IClassFactory),
                                          {nullptr, 0}};
    return QueryInterfaceTable(this, table, riid, ppv);
}

STDMETHODIMP_(ULONG) CClassFactory::AddRef() {
    const LONG refs = InterlockedIncrement(&m_refs);
    if (refs == 2 && m_module) {
        m_module->Lock();
    }
    return static_cast<ULONG>(refs);
}

STDMETHODIMP_(ULONG) CClassFactory::Release() {
    const LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 1 && m_module) {
        m_module->Unlock();
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
    if (!m_module) {
        return E_UNEXPECTED;
    }
    if (lock) {
        m_module->Lock();
    } else {
        m_module->Unlock();
    }
    return S_OK;
}
