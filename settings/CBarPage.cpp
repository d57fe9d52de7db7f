#include "settings/CBarPage.h"

#include "settings/resource.h"

CBarPage::CBarPage() : CPropertyPage(IDD_BAR_PAGE) {}
