// Dialog data exchange: one DoDataExchange lists which member goes with which control, and
// UpdateData runs it in either direction. A DDX function that cannot convert calls Fail():
// the focus goes to that control and the remaining steps do nothing.
#pragma once

#include <windows.h>

#include <string>

class CDataExchange {
public:
    CDataExchange(HWND dialog, bool save) : m_dialog(dialog), m_save(save) {}

    HWND Dialog() const { return m_dialog; }
    // True: controls → members; false: members → controls.
    bool IsSaving() const { return m_save; }
    bool Failed() const { return m_failed; }
    int FailedControl() const { return m_failedControl; }
    // Marks the exchange as failed at control id and puts the focus there.
    void Fail(int id);

private:
    HWND m_dialog;
    bool m_save;
    bool m_failed = false;
    int m_failedControl = 0;
};

// The window text of an edit (or any) control.
void DDX_Text(CDataExchange& dx, int id, std::string& value);
// A decimal number in an edit control; saving fails on text that is not a number in range.
void DDX_Text(CDataExchange& dx, int id, int& value);
// Check box state: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
void DDX_Check(CDataExchange& dx, int id, int& state);
void DDX_Check(CDataExchange& dx, int id, bool& checked);
// Hot-key control: the virtual-key code and the HOTKEYF_* modifier bits.
void DDX_HotKey(CDataExchange& dx, int id, WORD& virtualKey, WORD& modifiers);
