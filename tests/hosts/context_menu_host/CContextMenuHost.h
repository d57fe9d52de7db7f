// Plays Explorer for desktop context-menu handlers, which Wine's own shell never loads: reads
// the handlers registered for folder backgrounds, creates each through COM, initialises it
// for the desktop, lets it add its entries to a popup menu that already holds some of
// Explorer's own, forwards the owner-draw messages, and invokes the chosen command.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "framework/ComPtr.h"
#include "framework/Handles.h"

// The class identifiers under HKCR\Directory\Background\shellex\ContextMenuHandlers, in the
// registry's order: each subkey's default value, or its name when that is a class identifier.
std::vector<CLSID> ReadBackgroundMenuHandlers();

class CContextMenuHost {
public:
    // Identifiers of the host's own entries lie below this; handlers get ranges from here on.
    static constexpr UINT kFirstHandlerId = 0x100;
    static constexpr UINT kLastHandlerId = 0x7FFF;
    // Entries the host's menu holds before any handler adds its own.
    static constexpr int kOwnEntryCount = 7;

    CContextMenuHost();
    CContextMenuHost(const CContextMenuHost&) = delete;
    CContextMenuHost& operator=(const CContextMenuHost&) = delete;
    ~CContextMenuHost();

    // Creates the handler (CLSCTX_INPROC_SERVER, through its registration) and initialises it
    // as Explorer does for the desktop background: the desktop's item ID list, no data object,
    // no program key.
    HRESULT Load(const CLSID& clsid);
    // The same for a handler created by other means (straight from its class factory).
    HRESULT Add(IUnknown* handler);
    // Loads every registered background handler; returns how many were loaded.
    size_t LoadRegistered();

    // Creates the popup menu with the host's own entries (destroying an earlier one).
    void CreateMenu();
    // Asks every loaded handler in turn to add its entries at position `index`, each one given
    // the identifiers from the next free one up to lastId (or up to the next free one +
    // grant - 1 when grant is not zero). Returns the first failure, else S_OK.
    HRESULT QueryHandlers(UINT index = 0, UINT grant = 0, UINT flags = CMF_NORMAL);

    HMENU Menu() const { return m_menu; }
    HWND Window() const { return m_window; }
    size_t HandlerCount() const { return m_handlers.size(); }
    IContextMenu* Handler(size_t i) const { return m_handlers[i].menu.Get(); }
    // The range handler i was granted, and the count its QueryContextMenu returned.
    UINT FirstId(size_t i) const { return m_handlers[i].firstId; }
    UINT UsedIds(size_t i) const { return m_handlers[i].usedIds; }
    HRESULT QueryResult(size_t i) const { return m_handlers[i].queryResult; }

    // Hands a menu message to the handler whose range holds the entry, through
    // IContextMenu3::HandleMenuMsg2 (or IContextMenu2::HandleMenuMsg). Returns the
    // handler's result, S_FALSE when no handler owns the entry.
    HRESULT ForwardMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Forwards through IContextMenu2::HandleMenuMsg even to handlers that offer
    // IContextMenu3, as a shell that knows no IContextMenu3 (Windows 98) does.
    void UseContextMenu2Only(bool only) { m_contextMenu2Only = only; }

    // Invokes command `id` of the menu at the handler that owns it, by offset.
    HRESULT InvokeId(UINT id);
    // Shows the menu at (x, y) and returns the chosen identifier, 0 when none was chosen.
    UINT Track(int x, int y);

    // Releases the handlers (the menu stays until CreateMenu or destruction).
    void ReleaseHandlers();

private:
    struct CLoadedHandler {
        CComPtr<IContextMenu> menu;
        UINT firstId = 0;
        UINT usedIds = 0;
        HRESULT queryResult = E_PENDING;
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The handler whose granted range holds id, or null.
    CLoadedHandler* FindHandler(UINT id);

    HWND m_window = nullptr;
    HMENU m_menu = nullptr;
    std::vector<CLoadedHandler> m_handlers;
    bool m_contextMenu2Only = false;
};
