// The IDispatch methods of a dual interface, served from its type information. A server's
// object forwards its four methods here with the way it obtains that information:
// `load(ITypeInfo** info)` stores a counted reference or fails.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "framework/ComPtr.h"

inline HRESULT DispatchGetTypeInfoCount(UINT* count) {
    if (!count) {
        return E_POINTER;
    }
    *count = 1;
    return S_OK;
}

template <class Load> HRESULT DispatchGetTypeInfo(UINT index, ITypeInfo** info, Load load) {
    if (!info) {
        return E_POINTER;
    }
    *info = nullptr;
    if (index != 0) {
        return DISP_E_BADINDEX;
    }
    return load(info);
}

template <class Load>
HRESULT DispatchGetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, DISPID* ids, Load load) {
    if (!IsEqualIID(riid, IID_NULL)) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    CComPtr<ITypeInfo> info;
    const HRESULT hr = load(info.GetAddressOf());
    if (FAILED(hr)) {
        return hr;
    }
    return DispGetIDsOfNames(info.Get(), names, count, ids);
}

// object is the interface the type information describes.
template <class Load>
HRESULT DispatchInvoke(void* object, DISPID id, REFIID riid, WORD flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* exception, UINT* argumentError, Load load) {
    if (!IsEqualIID(riid, IID_NULL)) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    CComPtr<ITypeInfo> info;
    const HRESULT hr = load(info.GetAddressOf());
    if (FAILED(hr)) {
        return hr;
    }
    return DispInvoke(object, info.Get(), id, flags, params, result, exception, argumentError);
}
