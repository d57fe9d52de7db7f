// Base of the suite's COM objects: interlocked reference counting, one module lock from
// construction to destruction, and aggregation through a separate non-delegating IUnknown.
//
//   class CThing : public CComObjectRoot<CThing>, public IFoo, public IBar {
//   public:
//       explicit CThing(IUnknown* outer) : CComObjectRoot(outer) {}
//       COM_CREATABLE_OBJECT   // IUnknown, GetQITable (IFoo first: the identity), Create
//   };
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "framework/CComModule.h"
#include "framework/ComTry.h"
#include "framework/QueryInterfaceTable.h"

#include <new>
#include <utility>

template <class T> class CComObjectRoot {
public:
    CComObjectRoot(const CComObjectRoot&) = delete;
    CComObjectRoot& operator=(const CComObjectRoot&) = delete;

    // Creates a T with `new (std::nothrow)` and queries it for riid. With an outer unknown
    // only IID_IUnknown may be requested, and the result is the non-delegating unknown. A
    // failed FinalConstruct or query destroys the new object and returns that error.
    template <class... Args>
    static HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv, Args&&... args) {
        if (!ppv) {
            return E_POINTER;
        }
        *ppv = nullptr;
        if (outer && !IsEqualIID(riid, IID_IUnknown)) {
            return CLASS_E_NOAGGREGATION;
        }
        COM_TRY_BEGIN
        T* object = new (std::nothrow) T(outer, std::forward<Args>(args)...);
        if (!object) {
            return E_OUTOFMEMORY;
        }
        object->InternalAddRef();
        HRESULT hr = object->FinalConstruct();
        if (SUCCEEDED(hr)) {
            hr = outer ? object->InnerQueryInterface(riid, ppv)
                       : object->InternalQueryInterface(riid, ppv);
        }
        object->InternalRelease();
        return hr;
        COM_TRY_END
    }

    // Fallible set-up after construction; the object already holds one reference.
    HRESULT FinalConstruct() { return S_OK; }

    // The IUnknown that the object's interfaces answer with: the outer object's when
    // aggregated, the object's own otherwise.
    HRESULT OuterQueryInterface(REFIID riid, void** ppv) {
        return m_outer ? m_outer->QueryInterface(riid, ppv) : InternalQueryInterface(riid, ppv);
    }
    ULONG OuterAddRef() { return m_outer ? m_outer->AddRef() : InternalAddRef(); }
    ULONG OuterRelease() { return m_outer ? m_outer->Release() : InternalRelease(); }

    // The object's own count and table, whatever its outer object.
    HRESULT InternalQueryInterface(REFIID riid, void** ppv) {
        return QueryInterfaceTable(static_cast<T*>(this), T::GetQITable(), riid, ppv);
    }
    ULONG InternalAddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    ULONG InternalRelease() {
        const LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0) {
            delete this;
        }
        return static_cast<ULONG>(refs);
    }

    // The non-delegating IUnknown an aggregating outer object holds.
    IUnknown* GetInnerUnknown() { return &m_inner; }
    IUnknown* GetOuterUnknown() const { return m_outer; }

protected:
    explicit CComObjectRoot(IUnknown* outer = nullptr)
        : m_outer(outer), m_inner(this), m_module(CComModule::GetModule()) {
        if (m_module) {
            m_module->Lock();
        }
    }
    virtual ~CComObjectRoot() {
        if (m_module) {
            m_module->Unlock();
        }
    }

private:
    // Per COM's aggregation rules the inner unknown answers IID_IUnknown with itself and
    // every other interface from the table (whose AddRef then goes to the outer object).
    HRESULT InnerQueryInterface(REFIID riid, void** ppv) {
        if (!ppv) {
            return E_POINTER;
        }
        if (IsEqualIID(riid, IID_IUnknown)) {
            *ppv = &m_inner;
            InternalAddRef();
            return S_OK;
        }
        return InternalQueryInterface(riid, ppv);
    }

    class CInnerUnknown final : public IUnknown {
    public:
        explicit CInnerUnknown(CComObjectRoot* owner) : m_owner(owner) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
            return m_owner->InnerQueryInterface(riid, ppv);
        }
        STDMETHODIMP_(ULONG) AddRef() override { return m_owner->InternalAddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return m_owner->InternalRelease(); }

    private:
        CComObjectRoot* m_owner;
    };

    volatile LONG m_refs = 0;
    IUnknown* m_outer; // not counted: the outer object owns us
    CInnerUnknown m_inner;
    CComModule* m_module;
};

// The IUnknown methods of a class deriving from CComObjectRoot and its interfaces.
#define COM_IUNKNOWN_METHODS                                                                       \
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {                                \
        return this->OuterQueryInterface(riid, ppv);                                               \
    }                                                                                              \
    STDMETHODIMP_(ULONG) AddRef() override {                                                       \
        return this->OuterAddRef();                                                                \
    }                                                                                              \
    STDMETHODIMP_(ULONG) Release() override {                                                      \
        return this->OuterRelease();                                                               \
    }

// The opening of a class that a server's class table creates: its IUnknown methods, the
// declaration of its interface table (the class defines it; the first entry is the identity)
// and Create, the table's creation function.
#define COM_CREATABLE_OBJECT                                                                       \
    COM_IUNKNOWN_METHODS                                                                           \
    static const CQITableEntry* GetQITable();                                                      \
    static HRESULT Create(IUnknown* outer, REFIID riid, void** ppv) {                              \
        return CreateInstance(outer, riid, ppv);                                                   \
    }
