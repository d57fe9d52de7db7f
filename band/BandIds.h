// Identifiers of CorvinaBar.dll's band class, its dual interface and its type library, and
// the interface itself (it adds nothing to IDispatch; the type library describes it).
#pragma once

#include <windows.h>
#include <oaidl.h>

extern const CLSID CLSID_CorvBar;        // {9E3B4C71-2D58-4A0F-B6C3-71E8D2A45F90}
extern const IID IID_ICorvBar;           // {B3E1F6A2-5C84-4D27-9A0E-6F2C81D45E37}
extern const GUID LIBID_CORVINABARLib;   // {C47D2E91-6A30-4B1F-8D52-3E9A0B7C6D24}
extern const char kCorvBarClassIdText[]; // the class id in braces, as registry keys name it

constexpr WORD kCorvinaBarLibMajorVersion = 1;
constexpr WORD kCorvinaBarLibMinorVersion = 0;

struct ICorvBar : public IDispatch {};
