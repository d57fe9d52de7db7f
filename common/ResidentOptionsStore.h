// Reading and writing the resident program's options under HKEY_CURRENT_USER, key
// kCorvinaPlusKeyPath: the resident program reads them, the settings page writes them.
#pragma once

#include <windows.h>

#include "common/core/ResidentOptionValues.h"

// The stored options applied over `current`: the hot key only when "KeyCode" and "Modifiers"
// are both readable, each flag only when it is; anything else keeps its value in `current`.
corvina::ResidentOptions LoadResidentOptions(corvina::ResidentOptions current = {});

// Writes all four values (two-byte REG_BINARY hot-key bytes, REG_DWORD flags) into the
// existing key; like every writer of common/Registry.h it creates no key. Returns 1 when
// every value was written.
BOOL SaveResidentOptions(const corvina::ResidentOptions& options);
