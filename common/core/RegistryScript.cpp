#include "common/core/RegistryScript.h"

#include <cctype>
#include <cstddef>

namespace corvina {

namespace {

constexpr int kMaxDepth = 32;

struct Token {
    std::string text;
    bool quoted = false;
    size_t offset = 0; // in the script, for messages
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

class CParser {
public:
    CParser(std::string_view text, const RegistryScriptVariables& variables)
        : m_text(text), m_variables(variables) {}

    bool Parse(RegistryScript* script) {
        if (!Tokenize()) {
            return false;
        }
        while (m_next < m_tokens.size()) {
            RegistryScriptTree tree;
            const Token& rootName = m_tokens[m_next++];
            if (!RootFromName(rootName, &tree.root) || !Expect("{") || !ParseBody(&tree.keys, 1)) {
                return false;
            }
            script->push_back(std::move(tree));
        }
        return true;
    }

    const std::string& Error() const { return m_error; }

private:
    bool Fail(const std::string& message, size_t offset) {
        if (m_error.empty()) {
            m_error = message + " at offset " + std::to_string(offset);
        }
        return false;
    }

    bool Substitute(const std::string& raw, size_t offset, std::string* out) {
        out->clear();
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != '%') {
                out->push_back(raw[i]);
                continue;
            }
            const size_t end = raw.find('%', i + 1);
            if (end == std::string::npos) {
                return Fail("unterminated variable", offset);
            }
            const std::string name = raw.substr(i + 1, end - i - 1);
            if (name.empty()) {
                out->push_back('%');
            } else {
                bool found = false;
                for (const auto& variable : m_variables) {
                    if (EqualsIgnoringCase(variable.first, name)) {
                        out->append(variable.second);
                        found = true;
                        break;
                    }
                }
                if (!found) {
                    return Fail("unknown variable %" + name + "%", offset);
                }
            }
            i = end;
        }
        return true;
    }

    bool Tokenize() {
        size_t i = 0;
        while (i < m_text.size()) {
            if (IsBlank(m_text[i])) {
                ++i;
                continue;
            }
            Token token;
            token.offset = i;
            std::string raw;
            if (m_text[i] == '\'') {
                token.quoted = true;
                ++i;
                for (;;) {
                    if (i >= m_text.size()) {
                        return Fail("unterminated quoted text", token.offset);
                    }
                    if (m_text[i] == '\'') {
                        if (i + 1 < m_text.size() && m_text[i + 1] == '\'') {
                            raw.push_back('\'');
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    raw.push_back(m_text[i++]);
                }
            } else {
                while (i < m_text.size() && !IsBlank(m_text[i])) {
                    raw.push_back(m_text[i++]);
                }
            }
            if (!Substitute(raw, token.offset, &token.text)) {
                return false;
            }
            m_tokens.push_back(std::move(token));
        }
        return true;
    }

    bool IsSymbol(size_t index, const char* symbol) const {
        return index < m_tokens.size() && !m_tokens[index].quoted && m_tokens[index].text == symbol;
    }

    bool Expect(const char* symbol) {
        if (!IsSymbol(m_next, symbol)) {
            return Fail(std::string("expected '") + symbol + "'", Offset());
        }
        ++m_next;
        return true;
    }

    size_t Offset() const {
        return m_next < m_tokens.size() ? m_tokens[m_next].offset : m_text.size();
    }

    bool RootFromName(const Token& token, RegistryRoot* root) {
        static const struct {
            const char* name;
            RegistryRoot root;
        } kRoots[] = {
            {"HKCR", RegistryRoot::ClassesRoot},
            {"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
            {"HKCU", RegistryRoot::CurrentUser},
            {"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
            {"HKLM", RegistryRoot::LocalMachine},
            {"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
            {"HKU", RegistryRoot::Users},
            {"HKEY_USERS", RegistryRoot::Users},
        };
        if (!token.quoted) {
            for (const auto& entry : kRoots) {
                if (EqualsIgnoringCase(token.text, entry.name)) {
                    *root = entry.root;
                    return true;
                }
            }
        }
        return Fail("unknown root key '" + token.text + "'", token.offset);
    }

    // A name: any token but the three symbols (a quoted "{" is a name).
    bool ParseName(std::string* name) {
        if (m_next >= m_tokens.size()) {
            return Fail("expected a name", Offset());
        }
        const Token& token = m_tokens[m_next];
        if (!token.quoted && (token.text == "{" || token.text == "}" || token.text == "=")) {
            return Fail("expected a name", token.offset);
        }
        ++m_next;
        *name = token.text;
        return true;
    }

    bool ParseValue(RegistryScriptValue* value) {
        if (m_next + 1 >= m_tokens.size()) {
            return Fail("expected a type and a value", Offset());
        }
        const Token& type = m_tokens[m_next];
        const Token& data = m_tokens[m_next + 1];
        if (type.quoted) {
            return Fail("expected a value type", type.offset);
        }
        if (EqualsIgnoringCase(type.text, "s")) {
            value->type = RegistryScriptValue::Type::String;
            value->text = data.text;
        } else if (EqualsIgnoringCase(type.text, "d")) {
            value->type = RegistryScriptValue::Type::Number;
            if (!ParseNumber(data.text, &value->number)) {
                return Fail("bad number '" + data.text + "'", data.offset);
            }
        } else {
            return Fail("unknown value type '" + type.text + "'", type.offset);
        }
        if (!data.quoted && (data.text == "{" || data.text == "}" || data.text == "=")) {
            return Fail("expected a value", data.offset);
        }
        m_next += 2;
        return true;
    }

    static bool ParseNumber(const std::string& text, uint32_t* number) {
        uint64_t result = 0;
        size_t i = 0;
        unsigned base = 10;
        if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
            base = 16;
            i = 2;
        }
        if (i >= text.size()) {
            return false;
        }
        for (; i < text.size(); ++i) {
            const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
            unsigned digit;
            if (c >= '0' && c <= '9') {
                digit = static_cast<unsigned>(c - '0');
            } else if (base == 16 && c >= 'a' && c <= 'f') {
                digit = static_cast<unsigned>(c - 'a' + 10);
            } else {
                return false;
            }
            result = result * base + digit;
            if (result > 0xFFFFFFFFull) {
                return false;
            }
        }
        *number = static_cast<uint32_t>(result);
        return true;
    }

    // Entries up to and including the closing brace.
    bool ParseBody(std::vector<RegistryScriptKey>* keys, int depth) {
        if (depth > kMaxDepth) {
            return Fail("keys nested too deep", Offset());
        }
        for (;;) {
            if (m_next >= m_tokens.size()) {
                return Fail("missing '}'", Offset());
            }
            if (IsSymbol(m_next, "}")) {
                ++m_next;
                return true;
            }
            // Directly under a root there is no key for a "val" line to belong to.
            if (!ParseKey(keys, depth)) {
                return false;
            }
        }
    }

    bool ParseKey(std::vector<RegistryScriptKey>* keys, int depth) {
        RegistryScriptKey key;
        const Token& first = m_tokens[m_next];
        if (!first.quoted) {
            if (EqualsIgnoringCase(first.text, "NoRemove")) {
                key.mark = RegistryKeyMark::NoRemove;
            } else if (EqualsIgnoringCase(first.text, "ForceRemove")) {
                key.mark = RegistryKeyMark::ForceRemove;
            } else if (EqualsIgnoringCase(first.text, "Delete")) {
                key.mark = RegistryKeyMark::Delete;
            } else if (EqualsIgnoringCase(first.text, "val")) {
                return Fail("a value outside a key", first.offset);
            }
            if (key.mark != RegistryKeyMark::None) {
                ++m_next;
            }
        }
        const size_t nameOffset = Offset();
        if (!ParseName(&key.name)) {
            return false;
        }
        if (key.name.empty() || key.name.find('\\') != std::string::npos) {
            return Fail("bad key name '" + key.name + "'", nameOffset);
        }
        if (IsSymbol(m_next, "=")) {
            ++m_next;
            key.hasDefault = true;
            if (!ParseValue(&key.defaultValue)) {
                return false;
            }
        }
        if (IsSymbol(m_next, "{")) {
            ++m_next;
            if (!ParseKeyBody(&key, depth + 1)) {
                return false;
            }
        }
        keys->push_back(std::move(key));
        return true;
    }

    bool ParseKeyBody(RegistryScriptKey* key, int depth) {
        if (depth > kMaxDepth) {
            return Fail("keys nested too deep", Offset());
        }
        for (;;) {
            if (m_next >= m_tokens.size()) {
                return Fail("missing '}'", Offset());
            }
            if (IsSymbol(m_next, "}")) {
                ++m_next;
                return true;
            }
            const Token& token = m_tokens[m_next];
            if (!token.quoted && EqualsIgnoringCase(token.text, "val")) {
                ++m_next;
                std::pair<std::string, RegistryScriptValue> value;
                if (!ParseName(&value.first) || !Expect("=") || !ParseValue(&value.second)) {
                    return false;
                }
                key->values.push_back(std::move(value));
                continue;
            }
            if (!ParseKey(&key->subkeys, depth)) {
                return false;
            }
        }
    }

    std::string_view m_text;
    const RegistryScriptVariables& m_variables;
    std::vector<Token> m_tokens;
    size_t m_next = 0;
    std::string m_error;
};

std::string JoinPath(const std::string& parent, const std::string& name) {
    return parent.empty() ? name : parent + "\\" + name;
}

void PlanKeyRegistration(RegistryRoot root, const std::string& parent, const RegistryScriptKey& key,
                         std::vector<RegistryOperation>* plan) {
    const std::string path = JoinPath(parent, key.name);
    using Kind = RegistryOperation::Kind;
    if (key.mark == RegistryKeyMark::Delete) {
        plan->push_back({Kind::DeleteTree, root, path, std::string(), {}});
        return;
    }
    if (key.mark == RegistryKeyMark::ForceRemove) {
        plan->push_back({Kind::DeleteTree, root, path, std::string(), {}});
    }
    plan->push_back({Kind::CreateKey, root, path, std::string(), {}});
    if (key.hasDefault) {
        plan->push_back({Kind::SetValue, root, path, std::string(), key.defaultValue});
    }
    for (const auto& value : key.values) {
        plan->push_back({Kind::SetValue, root, path, value.first, value.second});
    }
    for (const RegistryScriptKey& subkey : key.subkeys) {
        PlanKeyRegistration(root, path, subkey, plan);
    }
}

void PlanKeyUnregistration(RegistryRoot root, const std::string& parent,
                           const RegistryScriptKey& key, std::vector<RegistryOperation>* plan) {
    const std::string path = JoinPath(parent, key.name);
    using Kind = RegistryOperation::Kind;
    switch (key.mark) {
    case RegistryKeyMark::Delete:
        return; // gone since registration
    case RegistryKeyMark::NoRemove:
        for (const auto& value : key.values) {
            plan->push_back({Kind::DeleteValue, root, path, value.first, {}});
        }
        for (const RegistryScriptKey& subkey : key.subkeys) {
            PlanKeyUnregistration(root, path, subkey, plan);
        }
        return;
    case RegistryKeyMark::None:
    case RegistryKeyMark::ForceRemove:
        plan->push_back({Kind::DeleteTree, root, path, std::string(), {}});
        return;
    }
}

} // namespace

bool ParseRegistryScript(std::string_view text, const RegistryScriptVariables& variables,
                         RegistryScript* script, std::string* error) {
    script->clear();
    CParser parser(text, variables);
    if (!parser.Parse(script)) {
        script->clear();
        if (error) {
            *error = parser.Error();
        }
        return false;
    }
    return true;
}

std::vector<RegistryOperation> PlanRegistration(const RegistryScript& script) {
    std::vector<RegistryOperation> plan;
    for (const RegistryScriptTree& tree : script) {
        for (const RegistryScriptKey& key : tree.keys) {
            PlanKeyRegistration(tree.root, std::string(), key, &plan);
        }
    }
    return plan;
}

std::vector<RegistryOperation> PlanUnregistration(const RegistryScript& script) {
    std::vector<RegistryOperation> plan;
    for (const RegistryScriptTree& tree : script) {
        for (const RegistryScriptKey& key : tree.keys) {
            PlanKeyUnregistration(tree.root, std::string(), key, &plan);
        }
    }
    return plan;
}

} // namespace corvina
