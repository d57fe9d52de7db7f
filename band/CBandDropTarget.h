// The band toolbar's OLE drop target: shell items dragged onto the toolbar are linked into
// the menu item list at the insertion mark, the whole list is saved and every band reloads.
// It lives inside its toolbar object and is counted with it: AddRef and Release do not
// delete, and the toolbar revokes the registration before it goes.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <string>

#include "common/MenuItemList.h"
#include "framework/CItemIdList.h"
#include "framework/ComPtr.h"

// What the drop target needs of the toolbar it serves; the toolbar implements it.
class IBandDropSite {
public:
    // The toolbar control, null when it has no window: the hit tests and the insertion mark
    // are asked of it.
    virtual HWND GetDropWindow() const = 0;
    virtual int GetButtonCount() const = 0;
    // The immediate button of a dropped item at index (0 .. count). The list is taken over;
    // false (and the list freed) when the button cannot be inserted.
    virtual bool InsertDroppedItem(int index, CItemIdList item, const std::string& label) = 0;
    // The list as the buttons now stand, to be saved.
    virtual MenuItemList GetButtonList() const = 0;

protected:
    ~IBandDropSite() = default;
};

class CBandDropTarget : public IDropTarget {
public:
    explicit CBandDropTarget(IBandDropSite& toolbar);
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
    IBandDropSite& m_toolbar;
    CComPtr<IDataObject> m_data;
    HWND m_registeredWindow = nullptr;
};
