// What a drag source hands a drop target, made by hand: "Shell IDList Array" blocks built
// byte by byte, and data objects that offer one such block (or any other bytes).
#pragma once

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "RegistryFixture.h"

// A 32-bit value in little-endian order.
Bytes Le32(uint32_t v);
// The parts back to back, in order.
Bytes Cat(std::initializer_list<Bytes> parts);
// The bytes of a well-formed item ID list.
Bytes ItemIdListBytes(LPCITEMIDLIST list);
// count, offsets, then the parent and the children, as the shell lays them out.
Bytes IdListArray(const Bytes& parent, const std::vector<Bytes>& children);

// Counts the releases of a storage medium that names it as its pUnkForRelease.
class CReleaseCounter final : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return ++releases, 1; }
    int releases = 0;
};

// A data object that offers exactly one format in global memory, filled with given bytes
// (each block of the exact size, one byte for none). Made with new, it holds one reference
// and goes with its last Release; the receiver frees each block it is given.
class CBlockDataObject : public IDataObject {
public:
    CBlockDataObject(CLIPFORMAT format, Bytes bytes);
    virtual ~CBlockDataObject();

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) {
            out->ptd = nullptr;
        }
        return E_NOTIMPL;
    }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

    // The blocks handed out so far.
    int GetDataCalls() const { return getDataCalls; }

    ULONG refs;
    int getDataCalls = 0;

protected:
    // For an object on the test's stack: no reference at first, never deleted by Release;
    // each medium names owner as its pUnkForRelease, and the blocks go with the object.
    CBlockDataObject(CLIPFORMAT format, Bytes bytes, IUnknown* owner);

private:
    CLIPFORMAT m_format;
    Bytes m_bytes;
    IUnknown* m_mediumOwner = nullptr;
    std::vector<HGLOBAL> m_blocks;
};

// A block data object that lives on the test's stack; refs tells how many references the
// receiver holds, and counter how many media it has released.
class CStackBlockData final : public CBlockDataObject {
public:
    CStackBlockData(CLIPFORMAT format, Bytes bytes)
        : CBlockDataObject(format, std::move(bytes), &counter) {}
    CReleaseCounter counter;
};
