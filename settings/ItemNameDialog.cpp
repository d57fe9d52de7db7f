#include "settings/ItemNameDialog.h"

#include "common/UiText.h"
#include "framework/AnsiWide.h"
#include "framework/CDataExchange.h"
#include "settings/SettingsMessage.h"
#include "settings/resource.h"

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
    m_name = std::move(name);
}
