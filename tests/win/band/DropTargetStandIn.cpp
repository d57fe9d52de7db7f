// Until the drop target's own code is merged: the toolbar only registers and revokes it.
#include "band/CBandDropTarget.h"

CBandDropTarget::CBandDropTarget(CBandToolBar& toolbar) : m_toolbar(toolbar) {}
CBandDropTarget::~CBandDropTarget() = default;
STDMETHODIMP CBandDropTarget::QueryInterface(REFIID, void** ppv) {
    *ppv = nullptr;
    return E_NOINTERFACE;
}
STDMETHODIMP_(ULONG) CBandDropTarget::AddRef() {
    return 2;
}
STDMETHODIMP_(ULONG) CBandDropTarget::Release() {
    return 1;
}
STDMETHODIMP CBandDropTarget::DragEnter(IDataObject*, DWORD, POINTL, DWORD*) {
    return S_OK;
}
STDMETHODIMP CBandDropTarget::DragOver(DWORD, POINTL, DWORD*) {
    return S_OK;
}
STDMETHODIMP CBandDropTarget::DragLeave() {
    return S_OK;
}
STDMETHODIMP CBandDropTarget::Drop(IDataObject*, DWORD, POINTL, DWORD*) {
    return S_OK;
}
bool CBandDropTarget::Register(HWND window) {
    m_registeredWindow = window;
    return true;
}
void CBandDropTarget::Revoke() {
    m_registeredWindow = nullptr;
}
