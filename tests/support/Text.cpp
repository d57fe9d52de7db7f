#include "Text.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

bool IsJapaneseRun() {
    const char* locale = std::getenv("CORVINA_LOCALE");
    return locale && std::strcmp(locale, "ja") == 0;
}

std::string RunLocale() {
    return IsJapaneseRun() ? "ja" : "en";
}

std::wstring ForRun(const wchar_t* japanese, const wchar_t* english) {
    return IsJapaneseRun() ? japanese : english;
}

std::string ToAnsi(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return std::string();
    }
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], size, nullptr, nullptr);
    out.resize(static_cast<size_t>(size) - 1);
    return out;
}

std::string ToAnsi(const std::wstring& text) {
    return ToAnsi(text.c_str());
}

std::wstring ToWide(const std::string& text) {
    const int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (size <= 1) {
        return std::wstring();
    }
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &out[0], size);
    out.resize(static_cast<size_t>(size) - 1);
    return out;
}

std::string HostPath(const char* path) {
    std::string out = "Z:";
    for (const char* p = path; *p; ++p) {
        out.push_back(*p == '/' ? '\\' : *p);
    }
    return out;
}

std::string MarkerProgramPath() {
    return HostPath(CORVINA_MARKER_PROGRAM);
}

bool CopyMarkerProgram(const std::string& path) {
    return CopyFileA(MarkerProgramPath().c_str(), path.c_str(), FALSE) != FALSE;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
