#include "framework/QueryInterfaceTable.h"

HRESULT QueryInterfaceTable(void* self, const CQITableEntry* table, REFIID riid, void** ppv) {
    if (!ppv) {
        return E_POINTER;
    }
    *ppv = nullptr;
    if (!self || !table || !table[0].iid) {
        return E_NOINTERFACE;
    }
    const bool wantsUnknown = IsEqualIID(riid, IID_IUnknown);
    for (const CQITableEntry* entry = table; entry->iid; ++entry) {
        if (wantsUnknown || IsEqualIID(riid, *entry->iid)) {
            auto* unknown = reinterpret_cast<IUnknown*>(static_cast<char*>(self) + entry->offset);
            unknown->AddRef();
            *ppv = unknown;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}
