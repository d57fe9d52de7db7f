// Small guards that hold a piece of user-interface state for the span of a scope, also when
// the scope is left through an exception.
#pragma once

#include <windows.h>

// Shows the wait cursor; the cursor shown before comes back at the end.
class CWaitCursor {
public:
    CWaitCursor() : m_previous(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    ~CWaitCursor() { SetCursor(m_previous); }

private:
    HCURSOR m_previous;
};

// Raises a flag; it is lowered at the end.
class CFlagScope {
public:
    explicit CFlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    CFlagScope(const CFlagScope&) = delete;
    CFlagScope& operator=(const CFlagScope&) = delete;
    ~CFlagScope() { m_flag = false; }

private:
    bool& m_flag;
};
