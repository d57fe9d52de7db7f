// The band toolbar's OLE drop target: shell items dragged onto the toolbar are linked into
// the menu item list at the insertion mark, the whole list is saved and every band reloads.
// It lives inside its toolbar object and is counted with it: AddRef and Release do not
// delete, and the toolbar revokes the registration before it goes.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "framework/ComPtr.h"

class CBandToolBar;

class CBandDropTarget : public IDropTarget {
public:
    explicit CBandDropTarget(CBandToolBar& toolbar);
    virtual ~CBandDropTarget();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDropTarget: each returns S_OK; the outcome is only in *effect.
    STDMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

    // Registers the toolbar's window as the drop target / takes the registration back.
    bool Register(HWND window);
    void Revoke();
    // Lets go of the data object held since DragEnter.
    void ReleaseData();
    bool IsHoldingData() const { return m_data != nullptr; }

    // Puts the toolbar's insertion mark where the point would insert; false (and no mark)
    // when the toolbar has no buttons or the point is outside its client area.
    bool ShowInsertMark(POINT screenPoint);
    // The insertion index for a screen point; false when it is outside the client area.
    bool HitTestInsertion(POINT screenPoint, int* index);

private:
    CBandToolBar& m_toolbar;
    CComPtr<IDataObject> m_data;
    HWND m_registeredWindow = nullptr;
};
