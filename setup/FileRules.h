// File operations of the install and uninstall program: the copy and delete rules that get
// past read-only, hidden and system attributes, file versions, and folder creation.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "setup/core/InstallRules.h"

// An existing file that is not a folder / an existing folder.
bool FileExistsAt(const char* path);
bool FolderExistsAt(const char* path);

// Copies source over target. Fails for a missing or folder source and for a folder target.
// When the copy is refused with ERROR_ACCESS_DENIED and the target existed with the
// read-only, hidden or system attribute, the attributes are made normal and the copy is
// tried once more.
BOOL CopyFileByRule(const char* source, const char* target);
// The same with the copy itself done by copy (CopyFile with overwriting allowed, in the
// form above): the system decides which targets refuse a first copy.
using FileCopyOperation = BOOL (*)(const char* source, const char* target);
BOOL CopyOverwriting(const char* source, const char* target);
BOOL CopyFileByRule(const char* source, const char* target, FileCopyOperation copy);

// Deletes a file. When that is refused with ERROR_ACCESS_DENIED and the path is a file with
// the read-only, hidden or system attribute, the attributes are made normal and it is
// deleted once more.
BOOL DeleteFileByRule(const char* path);

// The fixed file version of a file; 0.0.0.0 when it has none or cannot be read.
corvina::FileVersion ReadFileVersion(const char* path);

// Creates every folder of FolderPrefixes(components) that does not exist as a folder, with
// an inheritable default security descriptor. True when all of them exist afterwards.
bool CreateFolderChain(const std::vector<std::string>& components);
