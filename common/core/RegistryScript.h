// Registration scripts: a small language that lists registry keys and values as a tree, with
// marks saying which keys registration rebuilds and which unregistration must leave alone.
//
//   HKCR
//   {
//       NoRemove CLSID
//       {
//           ForceRemove {GUID} = s 'Name'
//           {
//               InprocServer32 = s '%MODULE%'
//               {
//                   val ThreadingModel = s 'Apartment'
//               }
//           }
//       }
//   }
//
// Tokens are separated by blanks; '{', '}' and '=' count only as whole tokens, so a key may
// be named "{GUID}". Quoted texts use single quotes, a doubled quote standing for one.
// %NAME% is replaced by the caller's variable of that name (in names and values alike, after
// the script is split into tokens, so a replacement may hold quotes or blanks); %% is a
// percent sign. Value types: s (string) and d (32-bit number, decimal or 0x hexadecimal).
// Key marks: NoRemove (unregistration descends but never deletes the key), ForceRemove
// (registration deletes the key with its subtree first), Delete (registration deletes the key).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvina {

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Users };

enum class RegistryKeyMark { None, NoRemove, ForceRemove, Delete };

struct RegistryScriptValue {
    enum class Type { String, Number };
    Type type = Type::String;
    std::string text;    // Type::String
    uint32_t number = 0; // Type::Number
};

struct RegistryScriptKey {
    std::string name;
    RegistryKeyMark mark = RegistryKeyMark::None;
    bool hasDefault = false;
    RegistryScriptValue defaultValue;
    std::vector<std::pair<std::string, RegistryScriptValue>> values; // "val" lines
    std::vector<RegistryScriptKey> subkeys;
};

struct RegistryScriptTree {
    RegistryRoot root;
    std::vector<RegistryScriptKey> keys;
};

using RegistryScript = std::vector<RegistryScriptTree>;
using RegistryScriptVariables = std::vector<std::pair<std::string, std::string>>;

// Parses text. On failure returns false, leaves *script empty and describes the first
// problem in *error (may be null). Keys nest at most 32 deep; names hold no backslash.
bool ParseRegistryScript(std::string_view text, const RegistryScriptVariables& variables,
                         RegistryScript* script, std::string* error);

// One registry change. Paths are relative to the root, levels joined by backslashes.
struct RegistryOperation {
    enum class Kind {
        CreateKey,   // create or open path
        SetValue,    // path's value `name` ("" = default) = value
        DeleteTree,  // path with everything below it; a missing key is no error
        DeleteValue, // path's value `name`; a missing value is no error
    };
    Kind kind;
    RegistryRoot root;
    std::string path;
    std::string name;
    RegistryScriptValue value;
};

// The changes registration makes, in order: keys before their values and subkeys, a
// ForceRemove key deleted right before it is created again.
std::vector<RegistryOperation> PlanRegistration(const RegistryScript& script);
// The changes unregistration makes: every key not marked NoRemove is deleted with its
// subtree; NoRemove keys are only descended into, and their "val" values deleted.
std::vector<RegistryOperation> PlanUnregistration(const RegistryScript& script);

} // namespace corvina
