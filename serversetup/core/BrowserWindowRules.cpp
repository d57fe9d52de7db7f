#include "serversetup/core/BrowserWindowRules.h"

namespace corvina {

bool TickLimitPassed(std::uint32_t startTick, std::uint32_t nowTick, std::uint32_t limitMs) {
    return static_cast<std::uint32_t>(nowTick - startTick) > limitMs;
}

bool IsDocumentStateComplete(std::wstring_view state) {
    constexpr std::wstring_view kComplete = L"complete";
    if (state.size() != kComplete.size()) {
        return false;
    }
    for (std::size_t i = 0; i < state.size(); ++i) {
        wchar_t c = state[i];
        // ASCII folding only: a ready-state text is one of a few English words.
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
        if (c != kComplete[i]) {
            return false;
        }
    }
    return true;
}

bool AllDocumentsComplete(const std::vector<std::optional<std::wstring>>& states) {
    for (const std::optional<std::wstring>& state : states) {
        if (!state || !IsDocumentStateComplete(*state)) {
            return false;
        }
    }
    return true;
}

bool IsBrowserIdle(long readyState, const std::function<bool()>& isBusy,
                   const std::function<bool()>& documentsComplete) {
    if (readyState == kReadyStateComplete) {
        return documentsComplete();
    }
    if (readyState == kReadyStateLoading) {
        return !isBusy() && documentsComplete();
    }
    return false;
}

} // namespace corvina
