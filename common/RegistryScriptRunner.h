// Carries out a registration script (resource type "REGISTRY") of a module on the registry.
#pragma once

#include <windows.h>

#include "common/core/RegistryScript.h"

// Parses the script resource `resourceId` of module with the given variables and registers
// (or unregisters) it. Registration stops at the first registry error, unregistration goes
// on and reports the first one; either returns it as HRESULT_FROM_WIN32. A missing or
// malformed script gives E_UNEXPECTED.
HRESULT RunRegistryScriptResource(HMODULE module, UINT resourceId, bool registering,
                                  const corvina::RegistryScriptVariables& variables);

// Carries out planned operations. Deleting what is not there counts as done.
HRESULT ApplyRegistryOperations(const std::vector<corvina::RegistryOperation>& operations,
                                bool stopAtFirstError);
