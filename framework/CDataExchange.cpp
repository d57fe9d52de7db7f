#include "framework/CDataExchange.h"

#include <commctrl.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

void CDataExchange::Fail(int id) {
    if (m_failed) {
        return;
    }
    m_failed = true;
    m_failedControl = id;
    if (HWND control = GetDlgItem(m_dialog, id)) {
        SetFocus(control);
        char className[16] = {};
        GetClassNameA(control, className, sizeof(className));
        if (lstrcmpiA(className, "Edit") == 0) {
            SendMessageA(control, EM_SETSEL, 0, -1);
        }
    }
}

namespace {

HWND Control(CDataExchange& dx, int id) {
    if (dx.Failed()) {
        return nullptr;
    }
    HWND control = GetDlgItem(dx.Dialog(), id);
    if (!control) {
        dx.Fail(id);
    }
    return control;
}

bool ReadText(HWND control, std::string& text) {
    const int length = GetWindowTextLengthA(control);
    std::vector<char> buffer(static_cast<size_t>(length > 0 ? length : 0) + 1);
    const int copied = GetWindowTextA(control, buffer.data(), static_cast<int>(buffer.size()));
    text.assign(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
    return true;
}

} // namespace

void DDX_Text(CDataExchange& dx, int id, std::string& value) {
    HWND control = Control(dx, id);
    if (!control) {
        return;
    }
    if (dx.IsSaving()) {
        ReadText(control, value);
    } else {
        SetWindowTextA(control, value.c_str());
    }
}

void DDX_Text(CDataExchange& dx, int id, int& value) {
    HWND control = Control(dx, id);
    if (!control) {
        return;
    }
    if (!dx.IsSaving()) {
        SetWindowTextA(control, std::to_string(value).c_str());
        return;
    }
    std::string text;
    ReadText(control, text);
    const char* begin = text.c_str();
    while (*begin == ' ' || *begin == '\t') {
        ++begin;
    }
    char* end = nullptr;
    errno = 0;
    const long long number = std::strtoll(begin, &end, 10);
    while (end && (*end == ' ' || *end == '\t')) {
        ++end;
    }
    if (end == begin || !end || *end != '\0' || errno == ERANGE || number < INT_MIN ||
        number > INT_MAX) {
        dx.Fail(id);
        return;
    }
    value = static_cast<int>(number);
}

void DDX_Check(CDataExchange& dx, int id, int& state) {
    HWND control = Control(dx, id);
    if (!control) {
        return;
    }
    if (dx.IsSaving()) {
        state = static_cast<int>(SendMessageA(control, BM_GETCHECK, 0, 0));
    } else {
        SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(state), 0);
    }
}

void DDX_Check(CDataExchange& dx, int id, bool& checked) {
    int state = checked ? BST_CHECKED : BST_UNCHECKED;
    DDX_Check(dx, id, state);
    if (dx.IsSaving() && !dx.Failed()) {
        checked = state == BST_CHECKED;
    }
}

void DDX_HotKey(CDataExchange& dx, int id, WORD& virtualKey, WORD& modifiers) {
    HWND control = Control(dx, id);
    if (!control) {
        return;
    }
    if (dx.IsSaving()) {
        const WORD hotKey = LOWORD(SendMessageA(control, HKM_GETHOTKEY, 0, 0));
        virtualKey = LOBYTE(hotKey);
        modifiers = HIBYTE(hotKey);
    } else {
        SendMessageA(control, HKM_SETHOTKEY, MAKEWORD(LOBYTE(virtualKey), LOBYTE(modifiers)), 0);
    }
}
