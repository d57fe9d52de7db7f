#include "CCorvinaExtention.h"

#include <algorithm>
#include <string>
#include <utility>

#include "common/ItemIdList.h"
#include "common/MenuItemDraw.h"
#include "common/MenuKeys.h"
#include "common/WideLabels.h"
#include "common/ModulePaths.h"
#include "common/ShellQueries.h"
#include "common/UiText.h"
#include "common/core/SuiteNames.h"
#include "extension/core/ContextMenuLayout.h"
#include "framework/AnsiWide.h"
#include "framework/ComTry.h"
#include "framework/DispatchMethods.h"
#include "framework/Debug.h"
#include "framework/ModuleInstance.h"

namespace {

const BilingualText kSubmenuCaption = {L"コルヴィナ(&Q)", "&Corvina"};
const BilingualText kSettingsLabel = {L"設定...", "Settings..."};
const BilingualText kHelpTextFormat = {L"%s を開く", "Open %s."};

// Menu texts are read up to this many bytes when looking for an earlier submenu; the Unicode
// command strings are cut to this many characters.
constexpr int kMenuTextLimit = 1024;
constexpr int kWideTextLimit = 1024;

// Removes every entry captioned like ours, from the last to the first, so that positions
// still to be visited do not shift. Separators beside them stay.
void RemoveEarlierSubmenus(HMENU menu, const std::string& caption) {
    char text[kMenuTextLimit];
    for (int position = GetMenuItemCount(menu) - 1; position >= 0; --position) {
        const int length =
            GetMenuStringA(menu, static_cast<UINT>(position), text, kMenuTextLimit, MF_BYPOSITION);
        if (length <= 0) {
            continue;
        }
        // The system code page decides which bytes pair up; the system locale's comparison
        // honours that, whatever language the user picked.
        if (CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, text, length, caption.c_str(),
                           static_cast<int>(caption.size())) == CSTR_EQUAL) {
            DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
        }
    }
}

std::string FormatHelpText(const char* label) {
    std::string text = BuildText(kHelpTextFormat);
    const size_t at = text.find("%s");
    if (at != std::string::npos) {
        text.replace(at, 2, label);
    }
    return text;
}

// The same in UTF-16; a wide label goes in as the shell gave it.
std::wstring FormatWideHelpText(const ShellMenuItemData& entry) {
    std::wstring text = AnsiToWide(BuildText(kHelpTextFormat));
    const size_t at = text.find(L"%s");
    if (at != std::wstring::npos) {
        const wchar_t* wide = entry.GetWideLabel();
        text.replace(at, 2, wide ? std::wstring(wide) : AnsiToWide(entry.GetLabel()));
    }
    return text;
}

} // namespace

CCorvinaExtention::CCorvinaExtention(IUnknown* outer)
    : CComObjectRoot(outer), m_menuFont(CreateMenuFont()) {}

CCorvinaExtention::~CCorvinaExtention() = default;

const CQITableEntry* CCorvinaExtention::GetQITable() {
    static const CQITableEntry table[] = {
        QITABLE_ENTRY(CCorvinaExtention, IShellExtInit),
        QITABLE_ENTRY_IID(CCorvinaExtention, IID_IContextMenu, IContextMenu3),
        QITABLE_ENTRY_IID(CCorvinaExtention, IID_IContextMenu2, IContextMenu3),
        QITABLE_ENTRY(CCorvinaExtention, IContextMenu3),
        QITABLE_ENTRY(CCorvinaExtention, ICorvinaExtention),
        QITABLE_ENTRY_IID(CCorvinaExtention, IID_IDispatch, ICorvinaExtention),
        {nullptr, 0}};
    return table;
}

// A second call loads the list again and replaces what the first one loaded: the menu then
// shows the list as it is now, as it would for a new object.
STDMETHODIMP CCorvinaExtention::Initialize(LPCITEMIDLIST, IDataObject*, HKEY) {
    COM_TRY_BEGIN
    m_records = LoadMenuItemList();
    return S_OK;
    COM_TRY_END
}

STDMETHODIMP CCorvinaExtention::QueryContextMenu(HMENU menu, UINT, UINT firstId, UINT lastId,
                                                 UINT) {
    COM_TRY_BEGIN
    if (!menu || !IsMenu(menu)) {
        return E_INVALIDARG;
    }
    // Explorer grants a range of identifiers and must not see one beyond lastId: when the
    // range is short, "Settings..." is kept and records are left out from the end (see
    // PlanContextMenuLayout). With no identifier at all the menu is left as it is.
    const corvina::ContextMenuLayout layout =
        corvina::PlanContextMenuLayout(m_records.size(), firstId, lastId);
    if (layout.identifierCount == 0) {
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
    }

    const std::string caption = BuildText(kSubmenuCaption);
    RemoveEarlierSubmenus(menu, caption);
    // After the removal: entries of a submenu that went with it can be freed at once.
    RetireEntries();
    m_firstCommandId = firstId;

    CMenuHandle submenu(CreatePopupMenu());
    if (!submenu) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    if (!InsertMenuA(menu, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr)) {
        return HRESULT_FROM_WIN32(GetLastError());
    }
    if (!InsertMenuA(menu, 0, MF_BYPOSITION | MF_POPUP | MF_STRING,
                     reinterpret_cast<UINT_PTR>(submenu.Get()), caption.c_str())) {
        const DWORD error = GetLastError();
        DeleteMenu(menu, 0, MF_BYPOSITION); // the separator just added
        return HRESULT_FROM_WIN32(error);
    }
    m_submenu = submenu.Detach(); // the host's menu destroys it with itself

    for (size_t i = 0; i < layout.recordsShown; ++i) {
        const MenuItemRecord& record = m_records[i];
        int iconIndex = -1;
        auto data = std::make_unique<ShellMenuItemData>();
        data->SetKind(MenuItemKind::Command);
        // The records stay with the object for later menu requests; each entry owns a copy.
        data->SetItemIdList(CopyItemIdList(record.itemIdList));
        // The user's own name is a code-page text; the shell's name comes as it is.
        if (UseWideLabels()) {
            std::wstring label;
            QueryWideLabelAndIcon(record.itemIdList, &label, &iconIndex);
            data->SetWideLabel(label.c_str());
        } else {
            std::string label;
            QueryLabelAndIcon(record.itemIdList, &label, &iconIndex);
            data->SetLabel(label.c_str());
        }
        if (!record.displayName.empty()) {
            data->SetLabel(record.displayName.c_str());
        }
        data->SetIconIndex(iconIndex);
        AddEntry(m_submenu, firstId + static_cast<UINT>(i), MF_OWNERDRAW, std::move(data));
    }
    if (layout.separator) {
        auto data = std::make_unique<ShellMenuItemData>();
        data->SetKind(MenuItemKind::Separator);
        AddEntry(m_submenu, firstId + static_cast<UINT>(layout.recordsShown),
                 MF_OWNERDRAW | MF_SEPARATOR, std::move(data));
    }

    const std::string settingsPath = GetSiblingPath(GetThisModule(), corvina::kSettingsFileName);
    const bool settingsExists = !settingsPath.empty() && IsExistingFile(settingsPath.c_str());
    auto settings = std::make_unique<ShellMenuItemData>();
    settings->SetKind(MenuItemKind::Command);
    settings->SetLabel(BuildText(kSettingsLabel).c_str());
    if (settingsExists) {
        CItemIdList list = ParsePathToItemIdList(settingsPath.c_str());
        int iconIndex = -1;
        if (list && QueryIconIndex(list, &iconIndex)) {
            settings->SetIconIndex(iconIndex);
        }
        settings->SetItemIdList(std::move(list));
    }
    AddEntry(m_submenu, firstId + layout.settingsOffset,
             MF_OWNERDRAW | (settingsExists ? 0u : static_cast<UINT>(MF_GRAYED)),
             std::move(settings));

    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, layout.identifierCount);
    COM_TRY_END
}

STDMETHODIMP CCorvinaExtention::InvokeCommand(CMINVOKECOMMANDINFO* info) {
    COM_TRY_BEGIN
    if (!info) {
        return E_INVALIDARG;
    }
    // An offset has nothing above its low 16 bits; a 64-bit string pointer may still have
    // bits 16-31 clear, so HIWORD alone would take it for an offset.
    if (!IS_INTRESOURCE(info->lpVerb)) {
        return E_FAIL; // verbs by name are not offered
    }
    const ShellMenuItemData* entry = FindEntry(LOWORD(reinterpret_cast<UINT_PTR>(info->lpVerb)));
    if (!entry) {
        return E_FAIL;
    }
    // A failure to open stays silent, as a double click on a vanished file would be.
    RunItemIdList(entry->GetItemIdList());
    return S_OK;
    COM_TRY_END
}

STDMETHODIMP CCorvinaExtention::GetCommandString(UINT_PTR offset, UINT type, UINT*, LPSTR name,
                                                 UINT size) {
    COM_TRY_BEGIN
    const ShellMenuItemData* entry = FindEntry(offset);
    if (!entry) {
        return E_FAIL;
    }
    switch (type) {
    case GCS_VERBA:
    case GCS_HELPTEXTA: {
        if (size == 0) {
            return S_OK;
        }
        if (!name) {
            return E_INVALIDARG;
        }
        CopyAnsiTextToBuffer(FormatHelpText(entry->GetLabel()), name, size);
        return S_OK;
    }
    case GCS_VERBW:
    case GCS_HELPTEXTW: {
        if (size == 0) {
            return S_OK;
        }
        if (!name) {
            return E_INVALIDARG;
        }
        const std::wstring wide = FormatWideHelpText(*entry);
        const int length = static_cast<int>(std::min<size_t>(wide.size(), kWideTextLimit));
        // size counts characters here; keep room for the terminator and never end on the
        // first half of a surrogate pair.
        UINT copied = static_cast<UINT>(length) < size ? static_cast<UINT>(length) : size - 1;
        if (copied > 0 && copied < static_cast<UINT>(length) &&
            IS_HIGH_SURROGATE(wide[copied - 1])) {
            --copied;
        }
        WCHAR* out = reinterpret_cast<WCHAR*>(name);
        CopyMemory(out, wide.data(), copied * sizeof(WCHAR));
        out[copied] = L'\0';
        return S_OK;
    }
    default:
        return S_OK; // validation and anything else: nothing to copy
    }
    COM_TRY_END
}

// Hosts that know only IContextMenu2 (the Windows 98 shell) send the paint and size
// requests here.
STDMETHODIMP CCorvinaExtention::HandleMenuMsg(UINT message, WPARAM wParam, LPARAM lParam) {
    return HandleMenuMsg2(message, wParam, lParam, nullptr);
}

STDMETHODIMP CCorvinaExtention::HandleMenuMsg2(UINT message, WPARAM wParam, LPARAM lParam,
                                               LRESULT* result) {
    COM_TRY_BEGIN
    if (message == WM_MENUCHAR) {
        // Only our submenu's keys are ours to answer: for any other menu the result stays as
        // the host set it, like the other messages' results.
        const HMENU menu = reinterpret_cast<HMENU>(lParam);
        if (menu == nullptr || menu != m_submenu || result == nullptr) {
            return S_OK;
        }
        *result = AnswerShellMenuChar(
            menu, wParam, IsMenuOwnerUnicode(),
            [this](const MENUITEMINFOA& item) -> const ShellMenuItemData* {
                const ShellMenuItemData* data = FindOwnEntry(item.wID, item.dwItemData);
                return data && data->GetKind() != MenuItemKind::Separator ? data : nullptr;
            });
        return S_OK;
    }
    if (message == WM_DRAWITEM) {
        const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (draw && draw->CtlType == ODT_MENU) {
            if (const ShellMenuItemData* data = FindOwnEntry(draw->itemID, draw->itemData)) {
                DrawMenuItem(draw->hDC, draw->rcItem, draw->itemState, *data, m_menuFont,
                             IsFlatMenuSystem() != FALSE);
            }
        }
    } else if (message == WM_MEASUREITEM) {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure && measure->CtlType == ODT_MENU) {
            if (const ShellMenuItemData* data = FindOwnEntry(measure->itemID, measure->itemData)) {
                const SIZE size = MeasureMenuItem(*data, m_menuFont, kExtensionMenuExtraWidth);
                measure->itemWidth = static_cast<UINT>(size.cx);
                measure->itemHeight = static_cast<UINT>(size.cy);
            }
        }
    }
    return S_OK;
    COM_TRY_END
}

STDMETHODIMP CCorvinaExtention::GetTypeInfoCount(UINT* count) {
    return DispatchGetTypeInfoCount(count);
}

STDMETHODIMP CCorvinaExtention::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    COM_TRY_BEGIN
    return DispatchGetTypeInfo(index, info, [this](ITypeInfo** out) { return CopyTypeInfo(out); });
    COM_TRY_END
}

STDMETHODIMP CCorvinaExtention::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                              DISPID* ids) {
    COM_TRY_BEGIN
    return DispatchGetIDsOfNames(riid, names, count, ids,
                                 [this](ITypeInfo** out) { return CopyTypeInfo(out); });
    COM_TRY_END
}

STDMETHODIMP CCorvinaExtention::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                       VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
    COM_TRY_BEGIN
    return DispatchInvoke(static_cast<ICorvinaExtention*>(this), id, riid, flags, params, result,
                          exception, argumentError,
                          [this](ITypeInfo** out) { return CopyTypeInfo(out); });
    COM_TRY_END
}

HRESULT CCorvinaExtention::CopyTypeInfo(ITypeInfo** info) {
    const HRESULT hr = LoadTypeInfo();
    if (FAILED(hr)) {
        return hr;
    }
    return m_typeInfo.CopyTo(info);
}

ShellMenuItemData* CCorvinaExtention::FindEntry(UINT_PTR offset) const {
    // Offsets beyond the granted range cannot name an entry; the sum must not wrap onto one.
    if (offset > 0xFFFFFFFFu - m_firstCommandId) {
        return nullptr;
    }
    const auto found = m_commandMap.find(m_firstCommandId + static_cast<UINT>(offset));
    return found == m_commandMap.end() ? nullptr : found->second.get();
}

ShellMenuItemData* CCorvinaExtention::FindOwnEntry(UINT commandId, ULONG_PTR itemData) const {
    // The host hands back whatever item data the entry carries; only our own may be
    // dereferenced.
    if (!itemData) {
        return nullptr;
    }
    const auto found = m_commandMap.find(commandId);
    if (found != m_commandMap.end() &&
        reinterpret_cast<ULONG_PTR>(found->second.get()) == itemData) {
        return found->second.get();
    }
    for (const CRetiredEntries& retired : m_retired) {
        for (const ItemDataPtr& entry : retired.entries) {
            if (reinterpret_cast<ULONG_PTR>(entry.get()) == itemData) {
                return entry.get();
            }
        }
    }
    return nullptr;
}

void CCorvinaExtention::RetireEntries() {
    // Entries of a submenu that is gone are no longer referenced by any menu. A handle value
    // the system has since reused only keeps them a little longer.
    for (auto it = m_retired.begin(); it != m_retired.end();) {
        it = IsMenu(it->submenu) ? it + 1 : m_retired.erase(it);
    }
    if (m_commandMap.empty()) {
        return;
    }
    if (m_submenu && IsMenu(m_submenu)) {
        CRetiredEntries retired{m_submenu, {}};
        retired.entries.reserve(m_commandMap.size());
        for (auto& entry : m_commandMap) {
            retired.entries.push_back(std::move(entry.second));
        }
        m_retired.push_back(std::move(retired));
    }
    m_commandMap.clear();
    m_submenu = nullptr;
}

bool CCorvinaExtention::AddEntry(HMENU submenu, UINT id, UINT flags, ItemDataPtr data) {
    ShellMenuItemData* raw = data.get();
    m_commandMap[id] = std::move(data);
    if (!AppendMenuA(submenu, flags, id, reinterpret_cast<LPCSTR>(raw))) {
        m_commandMap.erase(id);
        return false;
    }
    return true;
}

HRESULT CCorvinaExtention::LoadTypeInfo() {
    if (m_typeInfo) {
        return S_OK;
    }
    // Loaded on first use only: Explorer never asks, and a context menu should not pay for it.
    WCHAR path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(GetThisModule(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return E_UNEXPECTED;
    }
    CComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, &library);
    if (FAILED_UNEXPECTEDLY(hr)) {
        return hr;
    }
    CComPtr<ITypeInfo> info;
    hr = library->GetTypeInfoOfGuid(IID_ICorvinaExtention, &info);
    if (FAILED_UNEXPECTEDLY(hr)) {
        return hr;
    }
    // For a dual interface the library hands out the dispatch description; invoking through
    // the object's table needs the interface description it refers to.
    HREFTYPE reference = 0;
    CComPtr<ITypeInfo> vtableInfo;
    if (SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &reference)) &&
        SUCCEEDED(info->GetRefTypeInfo(reference, &vtableInfo))) {
        info = vtableInfo;
    }
    m_typeInfo = info;
    return S_OK;
}
