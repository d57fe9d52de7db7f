// The decisions behind ending the shell's browser windows and waiting for a hidden browser:
// when a browser counts as idle, how long the waits last, and the order in which the
// windows of the shell's collection are readied and told to quit.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvina {

// A browser's ready states, as its automation reports them (READYSTATE_*).
constexpr long kReadyStateLoading = 1;
constexpr long kReadyStateComplete = 4;

// The waits of one band switch-off. Tests shorten them; the defaults are what the suite uses.
struct BrowserWaitTimes {
    // Messages are pumped this long before every idle check.
    std::uint32_t pumpMs = 500;
    // One wait gives up once more than this passed since it began.
    std::uint32_t limitMs = 1000;
    // Waits before the hidden browser is quit whatever its state.
    int rounds = 10;
};

// More than limitMs between two readings of the system's millisecond tick counter; the
// difference is taken unsigned, so the counter wrapping after 49.7 days does not matter.
bool TickLimitPassed(std::uint32_t startTick, std::uint32_t nowTick, std::uint32_t limitMs);

// A document's ready-state text says "complete", in any case.
bool IsDocumentStateComplete(std::wstring_view state);

// Every listed document is complete. An entry without a value is a state that could not be
// read: the page may still be loading, so it does not count as complete.
bool AllDocumentsComplete(const std::vector<std::optional<std::wstring>>& states);

// The browser has finished: complete with all its documents complete, or still in the
// loading state but no longer busy with all its documents complete. isBusy and
// documentsComplete are asked only when the answer depends on them (each is a round trip
// into the browser).
bool IsBrowserIdle(long readyState, const std::function<bool()>& isBusy,
                   const std::function<bool()>& documentsComplete);

// Walks the shell's window collection in two passes. fetch(index) for every index from 0 to
// count - 1 gives the browser at that index, or nothing for an item that is no browser or
// could not be read (it is left alone and the walk goes on); ready(browser) hides and stops
// each one found, at once. Only when the collection has been walked does quit(browser) run
// for each, in the order found: a window that quits while the collection is still being
// walked would renumber the items behind it. The browsers are dropped one by one right after
// their quit. Returns how many were quit. The list's memory is taken before the first fetch,
// so running out of it throws before any window was touched, never half-way.
template <class Browser, class Fetch, class Ready, class Quit>
std::size_t SweepShellBrowsers(long count, Fetch&& fetch, Ready&& ready, Quit&& quit) {
    std::vector<Browser> found;
    found.reserve(count > 0 ? static_cast<std::size_t>(count) : 0);
    for (long index = 0; index < count; ++index) {
        std::optional<Browser> browser = fetch(index);
        if (!browser) {
            continue;
        }
        ready(*browser);
        found.push_back(std::move(*browser));
    }
    for (Browser& browser : found) {
        quit(browser);
        browser = Browser();
    }
    return found.size();
}

} // namespace corvina
