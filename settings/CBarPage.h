// The third page of the settings sheet: the toolbar band's registration and option
// (dialog 133).
#pragma once

#include "framework/CPropertyPage.h"

class CBarPage : public CPropertyPage {
public:
    CBarPage();
};
