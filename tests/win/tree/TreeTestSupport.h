// A visible test window hosting a MenuListTree the way the editor page does (custom draw
// passed on, 20-pixel rows, menu-coloured background), and scratch files to put in it.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "framework/CItemIdList.h"
#include "framework/CWnd.h"
#include "settings/MenuListTree.h"

class CTreeHost : public CWnd {
public:
    CTreeHost();
    ~CTreeHost() override;
    bool Valid() const { return m_valid; }
    MenuListTree& Tree() { return m_tree; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    MenuListTree m_tree;
    bool m_valid = false;
};

// The absolute item ID list of a path (empty on failure).
CItemIdList ItemIdListOf(const std::string& path);

// OLE and common controls, a visible host with its tree, and a scratch folder of files.
class CTreeFixture {
public:
    CTreeFixture();
    ~CTreeFixture();
    bool Ready() const { return m_oleReady && m_host && m_host->Valid(); }
    MenuListTree& Tree() { return m_host->Tree(); }
    CTreeHost& Host() { return *m_host; }
    CScratchFolder& Scratch() { return m_scratch; }

    // Creates the file (once) and returns its absolute list.
    CItemIdList ListOf(const std::string& fileName);
    // Appends the file under its shell name or the given override.
    HTREEITEM Add(const std::string& fileName, const char* name = nullptr);
    // Every item's name, in list order.
    std::vector<std::string> Names();
    // The screen point in the middle of the item's row.
    POINTL RowCentre(HTREEITEM item);
    // A screen point below the last row (inside the tree).
    POINTL BelowRows();
    HTREEITEM Selected();
    // The shell's data object for files of the scratch folder (null on failure).
    IDataObject* ShellDataObject(const std::vector<std::string>& fileNames);

private:
    bool m_oleReady = false;
    CScratchFolder m_scratch;
    CTreeHost* m_host = nullptr;
};
