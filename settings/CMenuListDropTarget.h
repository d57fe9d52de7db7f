// The COM face of a MenuListTree's drop target. OLE holds it by reference count, possibly
// past the tree's window, so it reaches the tree through a pointer that the tree cuts
// (Disconnect) before it goes; calls after that refuse the drop.
#pragma once

#include <windows.h>
#include <oleidl.h>

#include "framework/CComObjectRoot.h"

class MenuListTree;

class CMenuListDropTarget : public CComObjectRoot<CMenuListDropTarget>, public IDropTarget {
public:
    CMenuListDropTarget(IUnknown* outer, MenuListTree* tree);
    COM_IUNKNOWN_METHODS
    static const CQITableEntry* GetQITable();
    static HRESULT Create(MenuListTree* tree, IDropTarget** target);

    void Disconnect() { m_tree = nullptr; }

    STDMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

private:
    MenuListTree* m_tree;
};
