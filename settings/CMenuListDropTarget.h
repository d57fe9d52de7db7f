// The COM face of a menu list tree's drop target. OLE holds it by reference count, possibly
// past the tree's window, so it reaches the tree through a pointer that the tree cuts
// (Disconnect) before it goes; calls after that refuse the drop.
#pragma once

#include <windows.h>
#include <oleidl.h>

#include "framework/CComObjectRoot.h"

// What the drop target needs of the tree it serves: each step of a drag, passed on with the
// point in screen coordinates as OLE gives it. The tree implements it.
class IMenuListDropSite {
public:
    virtual HRESULT OnDragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;
    virtual HRESULT OnDragOver(DWORD keyState, POINTL point, DWORD* effect) = 0;
    virtual HRESULT OnDragLeave() = 0;
    virtual HRESULT OnDrop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) = 0;

protected:
    ~IMenuListDropSite() = default;
};

class CMenuListDropTarget : public CComObjectRoot<CMenuListDropTarget>, public IDropTarget {
public:
    CMenuListDropTarget(IUnknown* outer, IMenuListDropSite* tree);
    COM_IUNKNOWN_METHODS
    static const CQITableEntry* GetQITable();
    static HRESULT Create(IMenuListDropSite* tree, IDropTarget** target);

    void Disconnect() { m_tree = nullptr; }

    STDMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

private:
    IMenuListDropSite* m_tree;
};
