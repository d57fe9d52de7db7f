// A key's values as another reader sees them: Wine's own reg.exe, run as a separate program.
#pragma once

#include <windows.h>

#include <map>
#include <ostream>
#include <string>

// One value as "reg query" prints it ("    name    REG_SZ    data").
struct RegValue {
    std::string type;
    std::string data;
    bool operator==(const RegValue& other) const {
        return type == other.type && data == other.data;
    }
};
using RegValues = std::map<std::string, RegValue>; // "" is the default value

void PrintTo(const RegValue& value, std::ostream* out);

// The key's own values (not its subkeys'), key given with its root ("HKEY_CLASSES_ROOT\...");
// false when reg finds no such key.
bool RegQuery(const std::string& key, RegValues* values);
