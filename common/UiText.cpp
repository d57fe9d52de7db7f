#include "common/UiText.h"

#include "common/core/AnsiText.h"

namespace {

bool IsSystemLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

} // namespace

BOOL IsJapaneseUi() {
    char country[1024] = {};
    if (GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_SENGCOUNTRY, country, sizeof(country)) == 0) {
        return FALSE;
    }
    return lstrcmpiA(country, "japan") == 0;
}

std::string BuildText(const BilingualText& text) {
    if (!IsJapaneseUi()) {
        return text.english ? text.english : "";
    }
    if (!text.japanese || !*text.japanese) {
        return std::string();
    }
    const int size =
        WideCharToMultiByte(CP_ACP, 0, text.japanese, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return std::string();
    }
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.japanese, -1, &out[0], size, nullptr, nullptr);
    out.resize(static_cast<size_t>(size) - 1);
    return out;
}

size_t CopyAnsiTextToBuffer(const std::string& text, char* buffer, size_t bufferSize) {
    return corvina::CopyAnsiText(text, buffer, bufferSize, IsSystemLeadByte);
}
