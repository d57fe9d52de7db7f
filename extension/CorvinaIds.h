// Identifiers of Corvina.dll's class, its dual interface and its type library, and the
// interface itself (it adds nothing to IDispatch; the type library describes it).
#pragma once

#include <windows.h>
#include <oaidl.h>

extern const CLSID CLSID_CorvinaExtention; // {5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}
extern const IID IID_ICorvinaExtention;    // {6D2E8B14-9C3A-4F57-B1E0-2A7C5D93E861}
extern const GUID LIBID_CorvinaLib;        // {0F6B8A3D-71C2-4E95-A4D8-52B1C9E07F36}

constexpr WORD kCorvinaLibMajorVersion = 1;
constexpr WORD kCorvinaLibMinorVersion = 0;

struct ICorvinaExtention : public IDispatch {};
