#include "serversetup/core/BrowserWindowRules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using corvina::AllDocumentsComplete;
using corvina::IsBrowserIdle;
using corvina::SweepShellBrowsers;
using corvina::TickLimitPassed;

namespace {

TEST(BrowserIdle, ReadyStateBusyAndDocuments) {
    struct Case {
        long readyState;
        bool busy;
        bool documentsComplete;
        bool idle;
        bool asksBusy;
        bool asksDocuments;
    };
    const Case cases[] = {
        {4, false, true, true, false, true},   {4, true, true, true, false, true},
        {4, false, false, false, false, true}, {1, false, true, true, true, true},
        {1, true, true, false, true, false},   {1, false, false, false, true, true},
        {0, false, true, false, false, false}, {2, false, true, false, false, false},
        {3, false, true, false, false, false}, {-1, false, true, false, false, false},
    };
    for (const Case& c : cases) {
        bool askedBusy = false;
        bool askedDocuments = false;
        const bool idle = IsBrowserIdle(
            c.readyState, [&] { return askedBusy = true, c.busy; },
            [&] { return askedDocuments = true, c.documentsComplete; });
        EXPECT_EQ(idle, c.idle) << c.readyState << " busy " << c.busy;
        EXPECT_EQ(askedBusy, c.asksBusy) << c.readyState;
        EXPECT_EQ(askedDocuments, c.asksDocuments) << c.readyState << " busy " << c.busy;
    }
}

TEST(BrowserIdle, DocumentStates) {
    using States = std::vector<std::optional<std::wstring>>;
    struct Case {
        States states;
        bool complete;
    };
    const Case cases[] = {
        {{}, true},
        {{L"complete"}, true},
        {{L"COMPLETE", L"Complete", L"cOmPlEtE"}, true},
        {{L"complete", L"loading"}, false}, // a frame still loading
        {{L"interactive", L"complete"}, false},
        {{L"complete", std::nullopt}, false}, // a state that could not be read
        {{L""}, false},
        {{L"complete "}, false},
        {{L"completed"}, false},
        {{L"omplete"}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AllDocumentsComplete(c.states), c.complete) << c.states.size();
    }
}

TEST(BrowserIdle, TickLimitAcrossTheCounterWrap) {
    struct Case {
        std::uint32_t start;
        std::uint32_t now;
        std::uint32_t limit;
        bool passed;
    };
    const Case cases[] = {
        {1000, 1000, 500, false},
        {1000, 1500, 500, false},
        {1000, 1501, 500, true},
        {0xFFFFFF00u, 0xF4u, 500, false},
        {0xFFFFFF00u, 0x1F5u, 500, true},
        {5, 5, 0, false},
        {5, 6, 0, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TickLimitPassed(c.start, c.now, c.limit), c.passed) << c.start << " " << c.now;
    }
}

// The items the shell lists: a browser has a number, anything else is passed over.
using Item = std::optional<int>;

TEST(BrowserSweep, ReadiesAllBeforeAnyQuitsInCollectionOrder) {
    struct Case {
        const char* name;
        long count;
        std::vector<Item> items;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"empty", 0, {}, {}},
        {"negative count", -3, {1, 2}, {}},
        {"three browsers",
         3,
         {1, 2, 3},
         {"fetch 0", "ready 1", "fetch 1", "ready 2", "fetch 2", "ready 3", "quit 1", "quit 2",
          "quit 3"}},
        {"others left alone",
         4,
         {std::nullopt, 7, std::nullopt, 9},
         {"fetch 0", "fetch 1", "ready 7", "fetch 2", "fetch 3", "ready 9", "quit 7", "quit 9"}},
        {"no browser", 2, {std::nullopt, std::nullopt}, {"fetch 0", "fetch 1"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> log;
        const std::size_t quit = SweepShellBrowsers<int>(
            c.count,
            [&](long index) {
                log.push_back("fetch " + std::to_string(index));
                return c.items.at(static_cast<std::size_t>(index));
            },
            [&](int browser) { log.push_back("ready " + std::to_string(browser)); },
            [&](int browser) { log.push_back("quit " + std::to_string(browser)); });
        EXPECT_EQ(log, c.log) << c.name;
        std::size_t browsers = 0;
        for (long i = 0; i < c.count; ++i) {
            browsers += c.items[static_cast<std::size_t>(i)].has_value() ? 1 : 0;
        }
        EXPECT_EQ(quit, browsers) << c.name;
    }
}

TEST(BrowserSweep, EachBrowserIsDroppedRightAfterItsQuit) {
    // A browser reference is released after its own quit, before the next one's.
    auto released = std::make_shared<std::vector<int>>();
    struct Tracked {
        std::shared_ptr<std::vector<int>> released;
        int id = 0;
        Tracked() = default;
        Tracked(std::shared_ptr<std::vector<int>> r, int i) : released(std::move(r)), id(i) {}
        Tracked(Tracked&& other) noexcept : released(std::move(other.released)), id(other.id) {}
        Tracked& operator=(Tracked&& other) noexcept {
            Drop();
            released = std::move(other.released);
            id = other.id;
            return *this;
        }
        ~Tracked() { Drop(); }
        void Drop() {
            if (released) {
                released->push_back(id);
                released.reset();
            }
        }
    };
    std::vector<std::string> log;
    SweepShellBrowsers<Tracked>(
        2, [&](long index) { return std::optional<Tracked>(Tracked(released, int(index) + 1)); },
        [](const Tracked&) {},
        [&](const Tracked& browser) {
            log.push_back("quit " + std::to_string(browser.id) + " after " +
                          std::to_string(released->size()) + " released");
        });
    EXPECT_EQ(log,
              (std::vector<std::string>{"quit 1 after 0 released", "quit 2 after 1 released"}));
    EXPECT_EQ(*released, (std::vector<int>{1, 2}));
}

} // namespace
