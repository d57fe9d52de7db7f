#include "band/CBandDropTarget.h"

#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "band/core/ButtonHitTest.h"
#include "common/DroppedItemIdList.h"
#include "common/ShellQueries.h"
#include "common/WindowMessages.h"
#include "framework/ComTry.h"

namespace {

corvina::BandRect ToBandRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

void SetInsertMark(HWND window, int button, DWORD flags) {
    TBINSERTMARK mark = {button, flags};
    SendMessageA(window, TB_SETINSERTMARK, 0, reinterpret_cast<LPARAM>(&mark));
}

} // namespace

CBandDropTarget::CBandDropTarget(IBandDropSite& toolbar) : m_toolbar(toolbar) {}

CBandDropTarget::~CBandDropTarget() = default;

STDMETHODIMP CBandDropTarget::QueryInterface(REFIID riid, void** ppv) {
    COM_TRY_BEGIN
    if (!ppv) {
        return E_POINTER;
    }
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
        *ppv = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
    COM_TRY_END
}

// The toolbar object owns this one and revokes the registration before it goes, so OLE's
// references never decide its lifetime.
STDMETHODIMP_(ULONG) CBandDropTarget::AddRef() {
    return 2;
}

STDMETHODIMP_(ULONG) CBandDropTarget::Release() {
    return 1;
}

STDMETHODIMP CBandDropTarget::DragEnter(IDataObject* data, DWORD, POINTL point, DWORD* effect) {
    COM_TRY_BEGIN
    if (!effect) {
        return E_INVALIDARG;
    }
    ReleaseData();
    *effect = DROPEFFECT_NONE;
    if (!OffersShellIdListArray(data)) {
        return S_OK;
    }
    m_data = data;
    if (ShowInsertMark({point.x, point.y})) {
        *effect = DROPEFFECT_LINK;
    }
    return S_OK;
    COM_TRY_END
}

STDMETHODIMP CBandDropTarget::DragOver(DWORD, POINTL point, DWORD* effect) {
    COM_TRY_BEGIN
    if (!effect) {
        return E_INVALIDARG;
    }
    *effect = DROPEFFECT_NONE;
    if (m_data && OffersShellIdListArray(m_data.Get()) && ShowInsertMark({point.x, point.y})) {
        *effect = DROPEFFECT_LINK;
    }
    return S_OK;
    COM_TRY_END
}

STDMETHODIMP CBandDropTarget::DragLeave() {
    COM_TRY_BEGIN
    if (m_toolbar.GetDropWindow() != nullptr) {
        SetInsertMark(m_toolbar.GetDropWindow(), -1, 0);
    }
    ReleaseData();
    return S_OK;
    COM_TRY_END
}

STDMETHODIMP CBandDropTarget::Drop(IDataObject*, DWORD, POINTL point, DWORD* effect) {
    COM_TRY_BEGIN
    if (!effect) {
        return E_INVALIDARG;
    }
    *effect = DROPEFFECT_NONE;
    // What DragEnter accepted is what gets dropped, whatever object OLE passes now; the
    // drag is over either way, so the source's object goes back when this returns.
    CComPtr<IDataObject> data = std::move(m_data);
    m_data.Reset();
    if (!data) {
        return S_OK;
    }
    HWND window = m_toolbar.GetDropWindow();
    if (window == nullptr) {
        return S_OK;
    }
    SetInsertMark(window, -1, 0);
    if (!OffersShellIdListArray(data.Get())) {
        return S_OK;
    }
    // An empty bar refuses while dragging; a drop OLE delivers anyway is refused the same.
    int index = -1;
    if (m_toolbar.GetButtonCount() == 0 || !HitTestInsertion({point.x, point.y}, &index)) {
        return S_OK;
    }
    if (index < 0) {
        index = m_toolbar.GetButtonCount();
    }
    std::vector<CItemIdList> items = ReadDroppedItemIdLists(data.Get());
    bool inserted = false;
    for (CItemIdList& item : items) {
        std::string label;
        QueryLabel(item.Get(), &label);
        if (m_toolbar.InsertDroppedItem(index, std::move(item), label)) {
            ++index;
            inserted = true;
        }
    }
    if (!inserted) {
        return S_OK;
    }
    // A failed write is not reported: the reload that follows shows what the registry holds.
    SaveMenuItemList(m_toolbar.GetButtonList());
    NotifyBandWindows();
    *effect = DROPEFFECT_LINK;
    return S_OK;
    COM_TRY_END
}

bool CBandDropTarget::Register(HWND window) {
    if (m_registeredWindow != nullptr) {
        return m_registeredWindow == window;
    }
    if (window == nullptr || FAILED(RegisterDragDrop(window, this))) {
        return false;
    }
    m_registeredWindow = window;
    return true;
}

void CBandDropTarget::Revoke() {
    if (m_registeredWindow != nullptr) {
        RevokeDragDrop(m_registeredWindow);
        m_registeredWindow = nullptr;
    }
}

void CBandDropTarget::ReleaseData() {
    m_data.Reset();
}

bool CBandDropTarget::ShowInsertMark(POINT screenPoint) {
    HWND window = m_toolbar.GetDropWindow();
    if (window == nullptr) {
        return false;
    }
    const int count = m_toolbar.GetButtonCount();
    int index = -1;
    if (count == 0 || !HitTestInsertion(screenPoint, &index)) {
        SetInsertMark(window, -1, 0);
        return false;
    }
    if (index < 0) {
        SetInsertMark(window, count - 1, TBIMHT_AFTER);
    } else {
        SetInsertMark(window, index, 0);
    }
    return true;
}

bool CBandDropTarget::HitTestInsertion(POINT screenPoint, int* index) {
    HWND window = m_toolbar.GetDropWindow();
    if (index) {
        *index = -1;
    }
    if (window == nullptr || !ScreenToClient(window, &screenPoint)) {
        return false;
    }
    RECT client = {};
    GetClientRect(window, &client);
    const int count = m_toolbar.GetButtonCount();
    std::vector<corvina::BandRect> buttons;
    buttons.reserve(static_cast<size_t>(count > 0 ? count : 0));
    for (int i = 0; i < count; ++i) {
        RECT rect = {};
        SendMessageA(window, TB_GETITEMRECT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&rect));
        buttons.push_back(ToBandRect(rect));
    }
    const int rows = static_cast<int>(SendMessageA(window, TB_GETROWS, 0, 0));
    const corvina::ButtonHit hit =
        corvina::HitTestInsertion(ToBandRect(client), buttons, rows, screenPoint.x, screenPoint.y);
    if (index) {
        *index = hit.index;
    }
    return hit.inside;
}
