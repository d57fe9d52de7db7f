// The desktop context-menu extension: one object per context menu of the desktop or a folder
// background. It adds the "&Corvina" submenu with one owner-drawn entry per item of the
// user's list, a separator and "Settings...", paints those entries, and opens the chosen item.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <map>
#include <memory>
#include <vector>

#include "CorvinaIds.h"
#include "common/MenuItemDataOwner.h"
#include "common/MenuItemList.h"
#include "common/ShellMenuItemData.h"
#include "framework/CComObjectRoot.h"
#include "framework/ComPtr.h"
#include "framework/Handles.h"

class CCorvinaExtention : public CComObjectRoot<CCorvinaExtention>,
                          public IShellExtInit,
                          public IContextMenu3,
                          public ICorvinaExtention {
public:
    explicit CCorvinaExtention(IUnknown* outer);
    ~CCorvinaExtention() override;

    COM_CREATABLE_OBJECT

    // IShellExtInit
    STDMETHODIMP Initialize(LPCITEMIDLIST folder, IDataObject* data, HKEY programKey) override;

    // IContextMenu, IContextMenu2, IContextMenu3
    STDMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstId, UINT lastId,
                                  UINT flags) override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    STDMETHODIMP GetCommandString(UINT_PTR offset, UINT type, UINT* reserved, LPSTR name,
                                  UINT size) override;
    STDMETHODIMP HandleMenuMsg(UINT message, WPARAM wParam, LPARAM lParam) override;
    STDMETHODIMP HandleMenuMsg2(UINT message, WPARAM wParam, LPARAM lParam,
                                LRESULT* result) override;

    // IDispatch, served from the embedded type library.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                               DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

private:
    using ItemDataPtr = std::unique_ptr<ShellMenuItemData>;

    // The entry registered under first command identifier + offset, or null.
    ShellMenuItemData* FindEntry(UINT_PTR offset) const;
    // itemData of a paint or size request, when it is one of this object's entries.
    ShellMenuItemData* FindOwnEntry(UINT commandId, ULONG_PTR itemData) const;
    // Moves the entries of an earlier menu request aside, freeing them when their menu is gone.
    void RetireEntries();
    // Appends data to submenu as an owner-drawn entry with id, keeping the data and recording
    // the entry under id.
    bool AddEntry(HMENU submenu, UINT id, UINT flags, ItemDataPtr data);
    HRESULT LoadTypeInfo();
    // A counted reference to the type information, loaded on first use.
    HRESULT CopyTypeInfo(ITypeInfo** info);

    MenuItemList m_records;
    UINT m_firstCommandId = 0;
    // The data of the current submenu's entries, and each entry by its command identifier.
    CMenuItemDataOwner<ShellMenuItemData> m_entries;
    std::map<UINT, ShellMenuItemData*> m_commandMap;
    HMENU m_submenu = nullptr; // owned by the host's menu once inserted
    // Entries of earlier requests, kept while their submenu may still be shown.
    struct CRetiredEntries {
        HMENU submenu;
        CMenuItemDataOwner<ShellMenuItemData> entries;
    };
    std::vector<CRetiredEntries> m_retired;
    CFontHandle m_menuFont;
    CComPtr<ITypeInfo> m_typeInfo;
};
