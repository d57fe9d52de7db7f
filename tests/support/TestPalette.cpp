#include "TestPalette.h"

namespace {

const int kPaletteIndexes[] = {COLOR_MENU,          COLOR_MENUTEXT, COLOR_HIGHLIGHT,
                               COLOR_HIGHLIGHTTEXT, COLOR_GRAYTEXT, COLOR_3DHILIGHT,
                               COLOR_3DSHADOW};

} // namespace

CTestPalette::CTestPalette(COLORREF highlight) {
    static_assert(sizeof(kPaletteIndexes) / sizeof(kPaletteIndexes[0]) == kCount, "");
    m_mutex = CreateMutexA(nullptr, FALSE, "Corvina owner-draw tests: system colours");
    if (!m_mutex) {
        return;
    }
    // The holder's SetSysColors sends WM_SYSCOLORCHANGE to every top-level window, ours
    // too: wait with the messages sent to this thread answered, or the two deadlock.
    const DWORD deadline = GetTickCount() + 300000;
    for (;;) {
        const DWORD now = GetTickCount();
        const DWORD left = static_cast<LONG>(deadline - now) > 0 ? deadline - now : 0;
        const DWORD wait = MsgWaitForMultipleObjects(1, &m_mutex, FALSE, left, QS_SENDMESSAGE);
        if (wait == WAIT_OBJECT_0 + 1) {
            MSG msg;
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            continue;
        }
        m_owned = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED_0;
        break;
    }
    if (!m_owned) {
        return;
    }
    for (int i = 0; i < kCount; ++i) {
        m_saved[i] = GetSysColor(kPaletteIndexes[i]);
    }
    const COLORREF colours[kCount] = {kMenu,     kMenuText, highlight, kHighlightText,
                                      kGrayText, kLight,    kShadow};
    m_applied = SetSysColors(kCount, kPaletteIndexes, colours) != FALSE;
    for (int i = 0; i < kCount && m_applied; ++i) {
        m_applied = GetSysColor(kPaletteIndexes[i]) == colours[i];
    }
}

CTestPalette::~CTestPalette() {
    if (m_owned) {
        SetSysColors(kCount, kPaletteIndexes, m_saved);
        ReleaseMutex(m_mutex);
    }
    if (m_mutex) {
        CloseHandle(m_mutex);
    }
}
