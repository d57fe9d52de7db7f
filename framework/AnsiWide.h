// Text conversions between the system's ANSI code page (CP_ACP) and UTF-16. Characters the
// code page lacks become its default character; an empty or null text converts to an empty
// one. Embedded zeros are kept: the whole view converts.
#pragma once

#include <string>
#include <string_view>

std::wstring AnsiToWide(std::string_view text);
inline std::wstring AnsiToWide(const char* text) {
    return text ? AnsiToWide(std::string_view(text)) : std::wstring();
}

std::string WideToAnsi(std::wstring_view text);
inline std::string WideToAnsi(const wchar_t* text) {
    return text ? WideToAnsi(std::wstring_view(text)) : std::string();
}
