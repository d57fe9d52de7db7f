// Which form shell names take on their way to the screen. The NT family's shell interfaces
// and controls speak UTF-16, so there a name reaches the menus, toolbars and trees as the
// shell gave it, characters outside the code page included. The 9x family has only the
// code page: its names stay the 8-bit texts they always were.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// True on the NT family. Asked of the system once per process.
bool UseWideLabels();

// Tests force either path: 1 the wide one, 0 the code page's, -1 back to the system's answer.
void SetWideLabelsForTesting(int mode);

// The same units seen by the Windows-free rules (wchar_t is 16 bits wide on Windows).
inline std::u16string_view AsUtf16(std::wstring_view text) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 units");
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}
// And back.
inline std::wstring_view AsWide(std::u16string_view text) {
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

// Lossless 8-bit form of a wide label, for rules that keep their texts as byte strings
// (the folder orders): UTF-8 and back.
std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);

// The system's case-insensitive comparison of two labels in that UTF-8 form, <0, 0, >0.
int CompareUtf8Labels(const std::string& a, const std::string& b);
