// The portable rules in common/core/ cannot include the system headers, so they carry their
// own copies of a few system values. This file only compiles if every copy still matches.
#include <windows.h>

#include "common/core/MenuItemLayout.h"
#include "common/core/MenuListValues.h"

static_assert(corvina::kErrorNotReady == ERROR_NOT_READY, "kErrorNotReady");
static_assert(corvina::kRegTypeSz == REG_SZ, "kRegTypeSz");
static_assert(corvina::kRegTypeBinary == REG_BINARY, "kRegTypeBinary");
static_assert(corvina::kRegTypeDword == REG_DWORD, "kRegTypeDword");
