// The rename dialog of the menu list editor (dialog 134): one edit for the item's name, which
// may not be left empty nor be longer than kMaxNameLength characters (the user is told and
// the dialog stays open).
#pragma once

#include <windows.h>

#include <string>

#include "framework/CDialog.h"

class ItemNameDialog : public CDialog {
public:
    // The longest name that can be typed or accepted.
    static constexpr int kMaxNameLength = 256;

    explicit ItemNameDialog(std::string name = std::string());

    // The name shown when the dialog opens; after OK, the name typed.
    const std::string& GetName() const { return m_name; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange& dx) override;

private:
    std::string m_name;
};
