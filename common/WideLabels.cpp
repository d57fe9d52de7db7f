#include "common/WideLabels.h"

#include "framework/SystemVersion.h"

namespace {

// -1: not asked yet.
LONG g_wideLabels = -1;
LONG g_forced = -1;

bool AskSystem() {
    return IsNtFamilySystem();
}

} // namespace

bool UseWideLabels() {
    const LONG forced = InterlockedCompareExchange(&g_forced, -1, -1);
    if (forced >= 0) {
        return forced != 0;
    }
    LONG known = InterlockedCompareExchange(&g_wideLabels, -1, -1);
    if (known < 0) {
        known = AskSystem() ? 1 : 0;
        InterlockedExchange(&g_wideLabels, known);
    }
    return known != 0;
}

void SetWideLabelsForTesting(int mode) {
    InterlockedExchange(&g_forced, mode < 0 ? -1 : (mode ? 1 : 0));
}

std::string WideToUtf8(std::wstring_view text) {
    if (text.empty()) {
        return std::string();
    }
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string result(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, &result[0], length, nullptr, nullptr);
    }
    return result;
}

std::wstring Utf8ToWide(std::string_view text) {
    if (text.empty()) {
        return std::wstring();
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring result(length > 0 ? static_cast<size_t>(length) : 0, L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_UTF8, 0, text.data(), size, &result[0], length);
    }
    return result;
}

namespace {

// A name of up to the path limit converts on the stack: a sort of thousands of names makes
// tens of thousands of comparisons.
struct StackWide {
    wchar_t units[MAX_PATH * 2];
    std::wstring spill;
    const wchar_t* data = units;
    int length = 0;

    explicit StackWide(const std::string& text) {
        const int size = static_cast<int>(text.size());
        length = size ? MultiByteToWideChar(CP_UTF8, 0, text.data(), size, units,
                                            static_cast<int>(MAX_PATH * 2))
                      : 0;
        if (length == 0 && size != 0) {
            spill = Utf8ToWide(text);
            data = spill.c_str();
            length = static_cast<int>(spill.size());
        }
    }
};

} // namespace

int CompareUtf8Labels(const std::string& a, const std::string& b) {
    const StackWide wa(a);
    const StackWide wb(b);
    const int result = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.data, wa.length,
                                      wb.data, wb.length);
    if (result != 0) {
        return result - CSTR_EQUAL;
    }
    return a < b ? -1 : (b < a ? 1 : 0);
}
