// The test side of ScriptRecord.h: scripting the doubles and reading back what they saw.
#pragma once

#include <windows.h>

#include <sstream>
#include <string>
#include <vector>

#include "ScriptRecord.h"
#include "framework/CRegKey.h"

namespace doubles {

// Sets the script the next doubles made play and empties the record of calls.
inline bool Play(const std::string& script) {
    CRegKey key;
    return key.Create(HKEY_CURRENT_USER, CORVINA_DOUBLES_KEY) == ERROR_SUCCESS &&
           key.SetString("Script", script) == ERROR_SUCCESS &&
           key.SetString("Calls", "") == ERROR_SUCCESS;
}

// The calls recorded since the last Play, one a line, in order.
inline std::vector<std::string> Recorded() {
    CRegKey key;
    std::string text;
    if (key.Open(HKEY_CURRENT_USER, CORVINA_DOUBLES_KEY) == ERROR_SUCCESS) {
        key.QueryString("Calls", text);
    }
    std::vector<std::string> calls;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        calls.push_back(line);
    }
    return calls;
}

} // namespace doubles
