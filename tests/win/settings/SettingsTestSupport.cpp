#include "SettingsTestSupport.h"

#include <commctrl.h>
#include <cstdio>

#include "common/WindowMessages.h"

namespace settings_test {

const wchar_t* ExpectedSheetTitle() {
    return IsJapaneseRun() ? kJapaneseSettingsSheetTitle : kEnglishSettingsSheetTitle;
}

const wchar_t* ExpectedMessageCaption() {
    return IsJapaneseRun() ? L"コルヴィナ" : L"Corvina";
}

std::wstring WindowTextW(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

std::wstring ClassNameW(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

namespace {

struct DialogSearch {
    const wchar_t* title;
    HWND owner;
    bool anyOwner;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<DialogSearch*>(lParam);
    if (ClassNameW(window) == L"#32770" &&
        (!search->title || WindowTextW(window) == search->title) &&
        (search->anyOwner || GetWindow(window, GW_OWNER) == search->owner)) {
        search->found.push_back(window);
    }
    return TRUE;
}

} // namespace

std::vector<HWND> FindDialogs(const wchar_t* title) {
    DialogSearch search{title, nullptr, true, {}};
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindOwnedDialog(HWND owner, const wchar_t* title) {
    DialogSearch search{title, owner, false, {}};
    EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found.empty() ? nullptr : search.found.front();
}

std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (lstrcmpiW(ClassNameW(child).c_str(), className) == 0) {
            children.push_back(child);
        }
    }
    return children;
}

HICON MessageBoxIcon(HWND box) {
    for (HWND child : ChildrenOfClass(box, L"Static")) {
        const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
        if ((style & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child)) {
            if (HICON icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0))) {
                return icon;
            }
        }
    }
    return nullptr;
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
