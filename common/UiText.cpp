#include "common/UiText.h"

#include "common/core/AnsiText.h"
#include "framework/AnsiWide.h"

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
    return WideToAnsi(text.japanese);
}

size_t CopyAnsiTextToBuffer(const std::string& text, char* buffer, size_t bufferSize) {
    return corvina::CopyAnsiText(text, buffer, bufferSize, IsSystemLeadByte);
}
