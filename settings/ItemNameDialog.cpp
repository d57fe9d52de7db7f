#include "settings/ItemNameDialog.h"

#include "common/UiText.h"
#include "framework/AnsiWide.h"
#include "framework/CDataExchange.h"
#include "settings/SettingsMessage.h"
#include "settings/resource.h"

namespace {

// Whether the text typed into the edit holds characters that the code page lacks (the name is
// stored as a code-page text, where they would read "?"). Only a Unicode edit can hold such
// characters: on the 9x family, and in an ANSI edit, there is nothing to find.
bool HoldsCharactersOutsideCodePage(HWND edit) {
    if (!edit || !IsWindowUnicode(edit)) {
        return false;
    }
    const int length = GetWindowTextLengthW(edit);
    if (length <= 0) {
        return false;
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int read = GetWindowTextW(edit, &text[0], length + 1);
    BOOL usedDefault = FALSE;
    const int converted = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), read,
                                              nullptr, 0, nullptr, &usedDefault);
    return read > 0 && (converted == 0 || usedDefault);
}

} // namespace

ItemNameDialog::ItemNameDialog(std::string name)
    : CDialog(IDD_ITEM_NAME), m_name(std::move(name)) {}

BOOL ItemNameDialog::OnInitDialog() {
    SendDlgItemMessageA(GetHwnd(), IDC_ITEM_NAME, EM_LIMITTEXT, kMaxNameLength, 0);
    return CDialog::OnInitDialog();
}

void ItemNameDialog::DoDataExchange(CDataExchange& dx) {
    std::string name = m_name;
    DDX_Text(dx, IDC_ITEM_NAME, name);
    if (!dx.IsSaving() || dx.Failed()) {
        return;
    }
    if (name.empty()) {
        SettingsMessageBox(
            BuildText({L"名前を入力してください。", "ERROR : Please input a title."}).c_str(),
            MB_ICONEXCLAMATION);
        dx.Fail(IDC_ITEM_NAME);
        return;
    }
    // The edit's limit counts characters; a double-byte character is two bytes here.
    if (AnsiToWide(name).size() > static_cast<size_t>(kMaxNameLength)) {
        // Only text set past the edit's limit (WM_SETTEXT does not heed it) gets this far.
        SettingsMessageBox(BuildText({L"名前は256文字以内で入力してください。",
                                      "ERROR : Please input a title of 256 characters or less."})
                               .c_str(),
                           MB_ICONEXCLAMATION);
        dx.Fail(IDC_ITEM_NAME);
        return;
    }
    if (HoldsCharactersOutsideCodePage(GetDlgItem(GetHwnd(), IDC_ITEM_NAME))) {
        SettingsMessageBox(
            BuildText({L"この名前には、このシステムの文字セットで表示できない文字が含まれています。"
                       L"別の文字を使ってください。",
                       "ERROR : This name holds characters that cannot be shown in this system's "
                       "character set. Please use other characters."})
                .c_str(),
            MB_ICONEXCLAMATION);
        dx.Fail(IDC_ITEM_NAME);
        return;
    }
    m_name = std::move(name);
}
