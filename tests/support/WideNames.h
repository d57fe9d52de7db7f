// Shell items whose names lie outside code pages 932 and 1252: a Hangul name, an emoji name
// and one mixing both with Japanese, made under a scratch folder with the wide file calls.
#pragma once

#include <string>
#include <vector>

#include "framework/CItemIdList.h"

// 한글, 😀 smile, 日本語と한국어😀 (folder names, so that no extension is hidden or shown).
const std::vector<std::wstring>& OutsideCodePageNames();

// Creates folder (UTF-16) under parent (an ANSI path with its trailing backslash); the full
// wide path, empty when the file system refused.
std::wstring CreateWideFolder(const std::string& parent, const std::wstring& name);

// The absolute item ID list of a wide path, parsed by the desktop folder.
CItemIdList ParseWidePath(const std::wstring& path);
