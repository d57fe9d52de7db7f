#include "settings/CMenuListDropTarget.h"

CMenuListDropTarget::CMenuListDropTarget(IUnknown* outer, IMenuListDropSite* tree)
    : CComObjectRoot(outer), m_tree(tree) {}

const CQITableEntry* CMenuListDropTarget::GetQITable() {
    static const CQITableEntry table[] = {QITABLE_ENTRY(CMenuListDropTarget, IDropTarget),
                                          {nullptr, 0}};
    return table;
}

HRESULT CMenuListDropTarget::Create(IMenuListDropSite* tree, IDropTarget** target) {
    return CreateInstance(nullptr, IID_IDropTarget, reinterpret_cast<void**>(target), tree);
}

STDMETHODIMP CMenuListDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point,
                                            DWORD* effect) {
    COM_TRY_BEGIN
    if (!effect) {
        return E_INVALIDARG;
    }
    if (!m_tree) {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    return m_tree->OnDragEnter(data, keyState, point, effect);
    COM_TRY_END
}

STDMETHODIMP CMenuListDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
    COM_TRY_BEGIN
    if (!effect) {
        return E_INVALIDARG;
    }
    if (!m_tree) {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    return m_tree->OnDragOver(keyState, point, effect);
    COM_TRY_END
}

STDMETHODIMP CMenuListDropTarget::DragLeave() {
    COM_TRY_BEGIN
    return m_tree ? m_tree->OnDragLeave() : S_OK;
    COM_TRY_END
}

STDMETHODIMP CMenuListDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point,
                                       DWORD* effect) {
    COM_TRY_BEGIN
    if (!effect) {
        return E_INVALIDARG;
    }
    if (!m_tree) {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    return m_tree->OnDrop(data, keyState, point, effect);
    COM_TRY_END
}
