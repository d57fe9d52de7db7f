#include "SettingsTestSupport.h"

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

} // namespace settings_test
