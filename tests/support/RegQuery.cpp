#include "RegQuery.h"

#include "Text.h"
#include "Wait.h"

void PrintTo(const RegValue& value, std::ostream* out) {
    *out << value.type << " \"" << value.data << "\"";
}

bool RegQuery(const std::string& key, RegValues* values) {
    values->clear();
    std::string output;
    if (RunAndCapture("C:\\windows\\system32\\reg.exe query \"" + key + "\"", &output) != 0) {
        return false;
    }
    size_t start = 0;
    bool inKey = false;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos) {
            end = output.size();
        }
        std::string line = output.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.rfind("HKEY_", 0) == 0) {
            if (inKey) {
                break; // the subkeys' listing follows
            }
            inKey = true;
            continue;
        }
        if (!inKey || line.rfind("    ", 0) != 0) {
            continue;
        }
        const size_t typeAt = line.find("    REG_", 4);
        if (typeAt == std::string::npos) {
            continue;
        }
        std::string name = line.substr(4, typeAt - 4);
        const size_t dataAt = line.find("    ", typeAt + 4);
        RegValue value;
        value.type = line.substr(typeAt + 4, dataAt == std::string::npos ? std::string::npos
                                                                         : dataAt - typeAt - 4);
        value.data = dataAt == std::string::npos ? "" : line.substr(dataAt + 4);
        // reg names the default value in the system's language.
        if (name == "(Default)" || name == ToAnsi(L"(既定)")) {
            name.clear();
        }
        (*values)[name] = value;
    }
    return true; // a key without values prints no header at all
}
