// Removing the suite's registry entries: a key with everything below it, and single values.
#pragma once

#include <windows.h>

// Deletes every key below root\key, deepest first, then the key itself. A key that cannot be
// opened for enumeration is left as it is; the deletions' own results are not looked at.
void DeleteRegistryKeyTree(HKEY root, const char* key);

// Deletes one value of root\key; a missing key or value is no error.
void DeleteRegistryValue(HKEY root, const char* key, const char* name);
