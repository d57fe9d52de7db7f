// Smart pointer for COM interfaces: mingw-w64 ships Microsoft::WRL::ComPtr, which is enough
// (AddRef/Release pairing, As() for QueryInterface, GetAddressOf()/ReleaseAndGetAddressOf()
// for out-parameters).
#pragma once

#include <windows.h>
#include <unknwn.h>
#include <wrl/client.h>

template <class T> using CComPtr = Microsoft::WRL::ComPtr<T>;
