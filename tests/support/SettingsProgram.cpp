#include "SettingsProgram.h"

#include <commctrl.h>
#include <cstdio>

#include "Text.h"
#include "Wait.h"
#include "common/WindowMessages.h"

namespace settings_test {

const wchar_t* ExpectedSheetTitle() {
    return IsJapaneseRun() ? kJapaneseSettingsSheetTitle : kEnglishSettingsSheetTitle;
}

const wchar_t* ExpectedMessageCaption() {
    return IsJapaneseRun() ? L"コルヴィナ" : L"Corvina";
}

HWND WaitForMessageBox(DWORD process, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND box : FindDialogs(ExpectedMessageCaption())) {
                DWORD owner = 0;
                GetWindowThreadProcessId(box, &owner);
                if ((process == 0 || owner == process) && IsWindowVisible(box)) {
                    found = box;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

namespace {

constexpr int kApplyId = 0x3021;

} // namespace

bool SettingsProcess::Start() {
    std::string command = "\"" + m_program + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &m_process)) {
        std::fprintf(stderr, "cannot start %s: error %lu\n", m_program.c_str(), GetLastError());
        return false;
    }
    return WaitFor([this] {
        for (HWND sheet : FindDialogs(ExpectedSheetTitle())) {
            DWORD owner = 0;
            GetWindowThreadProcessId(sheet, &owner);
            if (owner == m_process.dwProcessId && IsWindowVisible(sheet) &&
                SendMessageW(sheet, PSM_INDEXTOHWND, 0, 0)) {
                m_sheet = sheet;
            }
        }
        return m_sheet != nullptr && Page() != nullptr;
    });
}

void SettingsProcess::Stop() {
    if (!m_process.hProcess) {
        return;
    }
    if (WaitForSingleObject(m_process.hProcess, 0) != WAIT_OBJECT_0) {
        if (m_sheet && IsWindow(m_sheet)) {
            PostMessageW(m_sheet, WM_COMMAND, IDCANCEL, 0);
        }
        if (!WaitFor([this] { return WaitForSingleObject(m_process.hProcess, 0) == 0; }, 10000)) {
            TerminateProcess(m_process.hProcess, 1);
            WaitForSingleObject(m_process.hProcess, 10000);
        }
    }
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
    m_process = PROCESS_INFORMATION{};
    m_sheet = nullptr;
}

HWND SettingsProcess::Page(int index) const {
    return m_sheet ? reinterpret_cast<HWND>(
                         SendMessageW(m_sheet, PSM_INDEXTOHWND, static_cast<WPARAM>(index), 0))
                   : nullptr;
}

bool SettingsProcess::ApplyEnabled() const {
    return IsWindowEnabled(GetDlgItem(m_sheet, kApplyId)) != FALSE;
}

void SettingsProcess::PressApply() {
    PostMessageW(m_sheet, WM_COMMAND, MAKEWPARAM(kApplyId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(m_sheet, kApplyId)));
}

} // namespace settings_test
