#include "DataObjects.h"

#include <cstring>

#include "common/ItemIdList.h"

Bytes Le32(uint32_t v) {
    return {static_cast<BYTE>(v), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v >> 16),
            static_cast<BYTE>(v >> 24)};
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

Bytes ItemIdListBytes(LPCITEMIDLIST list) {
    const BYTE* p = reinterpret_cast<const BYTE*>(list);
    return Bytes(p, p + GetItemIdListSize(list));
}

Bytes IdListArray(const Bytes& parent, const std::vector<Bytes>& children) {
    Bytes out = Le32(static_cast<uint32_t>(children.size()));
    uint32_t offset = static_cast<uint32_t>(4 + 4 * (children.size() + 1));
    Bytes lists = parent;
    Bytes table = Le32(offset);
    offset += static_cast<uint32_t>(parent.size());
    for (const Bytes& child : children) {
        const Bytes entry = Le32(offset);
        table.insert(table.end(), entry.begin(), entry.end());
        lists.insert(lists.end(), child.begin(), child.end());
        offset += static_cast<uint32_t>(child.size());
    }
    out.insert(out.end(), table.begin(), table.end());
    out.insert(out.end(), lists.begin(), lists.end());
    return out;
}

STDMETHODIMP CReleaseCounter::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) {
        return E_POINTER;
    }
    *ppv = IsEqualIID(riid, IID_IUnknown) ? this : nullptr;
    return *ppv ? (AddRef(), S_OK) : E_NOINTERFACE;
}

CBlockDataObject::CBlockDataObject(CLIPFORMAT format, Bytes bytes)
    : refs(1), m_format(format), m_bytes(std::move(bytes)) {}

CBlockDataObject::CBlockDataObject(CLIPFORMAT format, Bytes bytes, IUnknown* owner)
    : refs(0), m_format(format), m_bytes(std::move(bytes)), m_mediumOwner(owner) {}

CBlockDataObject::~CBlockDataObject() {
    for (HGLOBAL block : m_blocks) {
        GlobalFree(block);
    }
}

STDMETHODIMP CBlockDataObject::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) {
        return E_POINTER;
    }
    const bool known = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject);
    *ppv = known ? static_cast<IDataObject*>(this) : nullptr;
    return known ? (AddRef(), S_OK) : E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CBlockDataObject::Release() {
    const ULONG left = --refs;
    if (left == 0 && !m_mediumOwner) {
        delete this;
    }
    return left;
}

STDMETHODIMP CBlockDataObject::QueryGetData(FORMATETC* format) {
    return format && format->cfFormat == m_format && (format->tymed & TYMED_HGLOBAL)
               ? S_OK
               : DV_E_FORMATETC;
}

STDMETHODIMP CBlockDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!medium || QueryGetData(format) != S_OK) {
        return DV_E_FORMATETC;
    }
    // The exact size: a receiver must not read past what GlobalSize reports.
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, m_bytes.empty() ? 1 : m_bytes.size());
    if (!block) {
        return E_OUTOFMEMORY;
    }
    if (!m_bytes.empty()) {
        std::memcpy(GlobalLock(block), m_bytes.data(), m_bytes.size());
        GlobalUnlock(block);
    }
    if (m_mediumOwner) {
        m_blocks.push_back(block);
    }
    ++getDataCalls;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    medium->pUnkForRelease = m_mediumOwner;
    return S_OK;
}
