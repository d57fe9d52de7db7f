// Guards for COM methods: nothing thrown may travel into the host process. Put
// COM_TRY_BEGIN first and COM_TRY_END last in every method that returns an HRESULT.
#pragma once

#include <windows.h>

#include <new>

#define COM_TRY_BEGIN try {
#define COM_TRY_END                                                                                \
    }                                                                                              \
    catch (const std::bad_alloc&) {                                                                \
        return E_OUTOFMEMORY;                                                                      \
    }                                                                                              \
    catch (...) {                                                                                  \
        return E_UNEXPECTED;                                                                       \
    }
