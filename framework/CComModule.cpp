#include "framework/CComModule.h"

#include <new>

CComModule* CComModule::s_module = nullptr;

bool CComModule::Init(HINSTANCE instance, const CClassEntry* classes, size_t classCount) {
    if (m_initialized) {
        return false;
    }
    m_factories = classCount ? new (std::nothrow) CClassFactory* [classCount] {} : nullptr;
    if (classCount && !m_factories) {
        return false;
    }
    m_instance = instance;
    m_classes = classes;
    m_classCount = classCount;
    m_initialized = true;
    s_module = this;
    return true;
}

LONG CComModule::Unlock() {
    for (;;) {
        const LONG current = InterlockedCompareExchange(&m_lockCount, 0, 0);
        if (current <= 0) {
            return 0;
        }
        if (InterlockedCompareExchange(&m_lockCount, current - 1, current) == current) {
            return current - 1;
        }
    }
}

void CComModule::Term() {
    if (!m_initialized) {
        return;
    }
    for (size_t i = 0; i < m_classCount; ++i) {
        if (m_factories[i]) {
            m_factories[i]->Release();
        }
    }
    delete[] m_factories;
    m_factories = nullptr;
    m_classes = nullptr;
    m_classCount = 0;
    m_initialized = false;
    if (s_module == this) {
        s_module = nullptr;
    }
}

HRESULT CComModule::DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (!m_initialized) {
        return E_INVALIDARG;
    }
    if (!ppv) {
        return E_POINTER;
    }
    *ppv = nullptr;
    for (size_t i = 0; i < m_classCount; ++i) {
        if (!m_classes[i].clsid || !IsEqualCLSID(clsid, *m_classes[i].clsid)) {
            continue;
        }
        // One factory per class for the module's life; two threads asking at once must not
        // make two.
        CClassFactory* factory = nullptr;
        {
            CCriticalSectionLock lock(m_factoryLock);
            if (!m_factories[i]) {
                m_factories[i] = new (std::nothrow) CClassFactory(m_classes[i].create, this);
            }
            factory = m_factories[i];
        }
        if (!factory) {
            return E_OUTOFMEMORY;
        }
        return factory->QueryInterface(riid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}
