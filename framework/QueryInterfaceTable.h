// Table-driven QueryInterface: the one place that lists which interfaces an object answers,
// in order. The first entry also answers IID_IUnknown, so it fixes the object's identity.
//
//   static const CQITableEntry* GetQITable() {
//       static const CQITableEntry table[] = {
//           QITABLE_ENTRY(CMyObject, IContextMenu),   // IID_IContextMenu
//           QITABLE_ENTRY_IID(CMyObject, IID_IShellExtInit, IShellExtInit),
//           {nullptr, 0}};
//       return table;
//   }
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <cstddef>

struct CQITableEntry {
    const IID* iid;   // nullptr ends the table
    ptrdiff_t offset; // from the object's address to the interface's vtable pointer
};

// Offset of interface base Iface inside Class without needing an object.
#define QITABLE_OFFSET(Class, Iface)                                                               \
    (reinterpret_cast<char*>(static_cast<Iface*>(reinterpret_cast<Class*>(0x1000))) -              \
     reinterpret_cast<char*>(0x1000))
#define QITABLE_ENTRY_IID(Class, iid, Iface)                                                       \
    { &(iid), QITABLE_OFFSET(Class, Iface) }
#define QITABLE_ENTRY(Class, Iface) QITABLE_ENTRY_IID(Class, IID_##Iface, Iface)

// Looks riid up in table for the object at self. On a hit stores the interface pointer and
// AddRefs it through that interface (so an aggregated object's count goes to its outer
// object); on a miss stores nullptr and returns E_NOINTERFACE. E_POINTER for a null ppv.
HRESULT QueryInterfaceTable(void* self, const CQITableEntry* table, REFIID riid, void** ppv);
