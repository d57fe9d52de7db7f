// Texts shown to the user: Japanese on a Japanese system, English elsewhere, as 8-bit text
// in the system's ANSI code page.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// True when the English name of the country of the system default locale is "japan"
// (without regard to case). Asked afresh on every call; the user's own language settings
// do not matter.
BOOL IsJapaneseUi();

// One user-visible text in both languages: the Japanese one as a wide literal (converted
// to the ANSI code page when used), the English one as plain text.
struct BilingualText {
    const wchar_t* japanese;
    const char* english;
};

// The text for the current system: the Japanese variant converted to the ANSI code page
// (Shift-JIS on a code page 932 system) when IsJapaneseUi, else the English one.
std::string BuildText(const BilingualText& text);

// Copies text into a fixed buffer (terminator included), cut so that no double-byte
// character of the system code page is split. Returns the bytes copied before the zero.
size_t CopyAnsiTextToBuffer(const std::string& text, char* buffer, size_t bufferSize);
