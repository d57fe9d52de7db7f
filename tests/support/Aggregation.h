// An aggregating outer object for the tests of COM aggregation: it hands out its own IUnknown
// and passes every other interface to its inner object, counting its references and the
// queries that reach it. It lives on the test's stack.
#pragma once

#include <windows.h>
#include <unknwn.h>

class COuter final : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        ++queries;
        if (IsEqualIID(riid, IID_IUnknown)) {
            *ppv = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(riid, ppv) : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }

    ULONG refs = 1;
    IUnknown* inner = nullptr;
    int queries = 0;
};
