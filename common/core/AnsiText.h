// Texts in the system's ANSI code page, where a lead byte starts a two-byte character
// (Shift-JIS on Japanese systems). The caller supplies the lead-byte test: the system's
// own on Windows, a code page table in tests.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvina {

using LeadBytePredicate = bool (*)(unsigned char byte);

// Lead bytes of code page 932 (Shift-JIS): 0x81-0x9F and 0xE0-0xFC.
bool IsCp932LeadByte(unsigned char byte);

// Length in bytes of the longest prefix of text, up to its first zero byte, that holds
// whole characters only and is at most maxBytes long. A lead byte whose trail byte is
// missing (at the end of the text) is not part of the prefix.
size_t AnsiPrefixLength(std::string_view text, size_t maxBytes, LeadBytePredicate isLead);

// Copies text into a fixed buffer of bufferSize bytes (terminator included), cut at a
// character boundary. Returns the number of bytes copied before the terminator; a
// bufferSize of 0 writes nothing.
size_t CopyAnsiText(std::string_view text, char* buffer, size_t bufferSize,
                    LeadBytePredicate isLead);

// The folder of a module's full file name: the text before its last backslash (a 0x5C
// trail byte of a two-byte character is not a backslash), a backslash added after a bare
// drive ("C:"), and a trailing backslash ensured. A name without any backslash gives "".
std::string ModuleFolderFromPath(std::string_view path, LeadBytePredicate isLead);

} // namespace corvina
