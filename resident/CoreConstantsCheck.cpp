// The resident program's portable rules (resident/core/) carry copies of the hot-key bits of
// both the hot-key control and the registration call. This file only compiles if every copy
// still matches the system's value.
#include <windows.h>
#include <commctrl.h>

#include "resident/core/ResidentOptions.h"

static_assert(corvina::kHotKeyControlShift == HOTKEYF_SHIFT, "kHotKeyControlShift");
static_assert(corvina::kHotKeyControlCtrl == HOTKEYF_CONTROL, "kHotKeyControlCtrl");
static_assert(corvina::kHotKeyControlAlt == HOTKEYF_ALT, "kHotKeyControlAlt");
static_assert(corvina::kHotKeyControlExtended == HOTKEYF_EXT, "kHotKeyControlExtended");
static_assert(corvina::kDefaultHotKeyModifiers == (HOTKEYF_CONTROL | HOTKEYF_ALT),
              "kDefaultHotKeyModifiers");
static_assert(corvina::kRegisterAlt == MOD_ALT, "kRegisterAlt");
static_assert(corvina::kRegisterCtrl == MOD_CONTROL, "kRegisterCtrl");
static_assert(corvina::kRegisterShift == MOD_SHIFT, "kRegisterShift");
