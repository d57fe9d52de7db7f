#include "serversetup/CCurrentDirectoryRestorer.h"

#include <windows.h>

#include <new>

CCurrentDirectoryRestorer::CCurrentDirectoryRestorer() {
    // Asked for its real size rather than a fixed 260 bytes: a directory that did not fit
    // could not be put back.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD needed = GetCurrentDirectoryA(0, nullptr);
        if (needed == 0) {
            return;
        }
        try {
            m_saved.assign(needed, '\0');
        } catch (const std::bad_alloc&) {
            m_saved.clear();
            return;
        }
        const DWORD length = GetCurrentDirectoryA(needed, &m_saved[0]);
        if (length > 0 && length < needed) {
            m_saved.resize(length);
            return;
        }
        // Changed in between by another thread; ask again.
        m_saved.clear();
    }
}

CCurrentDirectoryRestorer::~CCurrentDirectoryRestorer() {
    if (!m_saved.empty()) {
        SetCurrentDirectoryA(m_saved.c_str());
    }
}
