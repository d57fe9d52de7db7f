#include "Dialogs.h"

#include "Wait.h"

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

struct ProcessWindows {
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessDialog(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<ProcessWindows*>(lParam);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (process == search->process && lstrcmpW(className, L"#32770") == 0 &&
        IsWindowVisible(window)) {
        search->found.push_back(window);
    }
    return TRUE;
}

} // namespace

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

std::vector<HWND> VisibleDialogsOf(DWORD process) {
    ProcessWindows search{process, {}};
    EnumWindows(CollectProcessDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
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

std::wstring MessageBoxText(HWND box) {
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    return text;
}

bool AnswerMessageBox(HWND box, int button) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    return WaitFor([box] { return !IsWindow(box); });
}
