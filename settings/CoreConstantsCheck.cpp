// The settings program's portable rules (settings/core/) carry copies of the message box
// style bits. This file only compiles if every copy still matches the system's value.
#include <windows.h>

#include "settings/core/MessageBoxStyle.h"

static_assert(corvina::kMessageBoxIconMask == MB_ICONMASK, "kMessageBoxIconMask");
static_assert(corvina::kMessageBoxButtonMask == MB_TYPEMASK, "kMessageBoxButtonMask");
static_assert(corvina::kMessageBoxIconExclamation == MB_ICONEXCLAMATION,
              "kMessageBoxIconExclamation");
static_assert(corvina::kMessageBoxOk == MB_OK, "kMessageBoxOk");
static_assert(corvina::kMessageBoxOkCancel == MB_OKCANCEL, "kMessageBoxOkCancel");
static_assert(corvina::kMessageBoxYesNoCancel == MB_YESNOCANCEL, "kMessageBoxYesNoCancel");
static_assert(corvina::kMessageBoxYesNo == MB_YESNO, "kMessageBoxYesNo");
