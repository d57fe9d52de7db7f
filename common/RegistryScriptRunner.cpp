#include "common/RegistryScriptRunner.h"

#include <string>

#include "framework/CRegKey.h"
#include "framework/Debug.h"

using corvina::RegistryOperation;
using corvina::RegistryRoot;
using corvina::RegistryScriptValue;

namespace {

HKEY RootKey(RegistryRoot root) {
    switch (root) {
    case RegistryRoot::ClassesRoot:
        return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentUser:
        return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine:
        return HKEY_LOCAL_MACHINE;
    case RegistryRoot::Users:
        return HKEY_USERS;
    }
    return nullptr;
}

bool IsAbsent(LONG result) {
    return result == ERROR_FILE_NOT_FOUND || result == ERROR_PATH_NOT_FOUND;
}

LONG DeleteKeyTree(HKEY root, const std::string& path) {
    const size_t cut = path.rfind('\\');
    CRegKey parent;
    if (cut == std::string::npos) {
        // The root itself is predefined: borrow it without taking it over.
        parent.Attach(root);
        const LONG result = parent.DeleteTree(path.c_str());
        parent.Detach();
        return result;
    }
    LONG result = parent.Open(root, path.substr(0, cut).c_str(), KEY_READ | KEY_WRITE);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    return parent.DeleteTree(path.c_str() + cut + 1);
}

LONG SetValue(HKEY root, const RegistryOperation& operation) {
    CRegKey key;
    LONG result = key.Open(root, operation.path.c_str(), KEY_SET_VALUE);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    const char* name = operation.name.empty() ? nullptr : operation.name.c_str();
    if (operation.value.type == RegistryScriptValue::Type::Number) {
        return key.SetDWORD(name, operation.value.number);
    }
    // The scripts write the servers' keys, which COM and the shell read.
    return key.SetString(name, operation.value.text, RegStringForm::Terminated);
}

LONG Apply(const RegistryOperation& operation) {
    HKEY root = RootKey(operation.root);
    if (!root) {
        return ERROR_INVALID_PARAMETER;
    }
    switch (operation.kind) {
    case RegistryOperation::Kind::CreateKey: {
        CRegKey key;
        return key.Create(root, operation.path.c_str(), KEY_READ | KEY_WRITE);
    }
    case RegistryOperation::Kind::SetValue:
        return SetValue(root, operation);
    case RegistryOperation::Kind::DeleteTree: {
        const LONG result = DeleteKeyTree(root, operation.path);
        return IsAbsent(result) ? ERROR_SUCCESS : result;
    }
    case RegistryOperation::Kind::DeleteValue: {
        CRegKey key;
        LONG result = key.Open(root, operation.path.c_str(), KEY_SET_VALUE);
        if (result == ERROR_SUCCESS) {
            result = key.DeleteValue(operation.name.empty() ? nullptr : operation.name.c_str());
        }
        return IsAbsent(result) ? ERROR_SUCCESS : result;
    }
    }
    return ERROR_INVALID_PARAMETER;
}

} // namespace

HRESULT ApplyRegistryOperations(const std::vector<RegistryOperation>& operations,
                                bool stopAtFirstError) {
    HRESULT first = S_OK;
    for (const RegistryOperation& operation : operations) {
        const LONG result = Apply(operation);
        if (result == ERROR_SUCCESS) {
            continue;
        }
        TRACE_DEBUG("registry script: %s failed with %ld\n", operation.path.c_str(), result);
        if (SUCCEEDED(first)) {
            first = HRESULT_FROM_WIN32(static_cast<DWORD>(result));
        }
        if (stopAtFirstError) {
            break;
        }
    }
    return first;
}

HRESULT RunRegistryScriptResource(HMODULE module, UINT resourceId, bool registering,
                                  const corvina::RegistryScriptVariables& variables) {
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(resourceId), "REGISTRY");
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!bytes) {
        return E_UNEXPECTED;
    }
    const std::string_view text(bytes, SizeofResource(module, resource));
    corvina::RegistryScript script;
    std::string error;
    if (!corvina::ParseRegistryScript(text, variables, &script, &error)) {
        TRACE_DEBUG("registry script: %s\n", error.c_str());
        return E_UNEXPECTED;
    }
    if (registering) {
        return ApplyRegistryOperations(corvina::PlanRegistration(script), true);
    }
    return ApplyRegistryOperations(corvina::PlanUnregistration(script), false);
}
