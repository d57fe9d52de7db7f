#include "band/core/BandObjectRules.h"

#include <gtest/gtest.h>

#include <cstring>

namespace corvina {
namespace {

TEST(BandObjectRulesTest, HostNameIsTheTextAfterTheLastBackslash) {
    struct Case {
        const char* path;
        const char* host;
    };
    const Case cases[] = {
        {"C:\\WINDOWS\\explorer.exe", "explorer.exe"},
        {"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE", "IEXPLORE.EXE"},
        {"explorer.exe", "explorer.exe"},
        {"C:\\odd\\", ""},
        // Forward slashes are part of the name; only the backslash separates.
        {"C:\\a/b\\c/d.exe", "c/d.exe"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HostNameFromModulePath(c.path), c.host) << c.path;
    }
}

TEST(BandObjectRulesTest, NewRowFlagIsSetUnlessAZeroWasRead) {
    struct Case {
        bool readable;
        uint32_t value;
        bool flag;
    };
    const Case cases[] = {
        {false, 0, true}, {false, 1, true},          {true, 0, false},
        {true, 1, true},  {true, 0x80000000u, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NewRowFlagFromStoredValue(c.readable, c.value), c.flag)
            << c.readable << " " << c.value;
    }
}

struct Point {
    long x;
    long y;
};
// Laid out like the shell's band information, with markers in every member.
struct FakeBandInfo {
    uint32_t dwMask;
    Point ptMinSize{77, 77};
    Point ptMaxSize{77, 77};
    Point ptIntegral{77, 77};
    Point ptActual{77, 77};
    char wszTitle[8] = "keep";
    uint32_t dwModeFlags = 77;
};

TEST(BandObjectRulesTest, BandInfoFillsOnlyWhatTheMaskAsks) {
    const Point untouched{77, 77};
    struct Case {
        uint32_t mask;
        uint32_t maskAfter;
        Point minSize, maxSize, integral, actual;
        uint32_t modeFlags;
    };
    const uint32_t all = 0x7F;
    const Case cases[] = {
        {kBandInfoTitle, kBandInfoTitle, untouched, untouched, untouched, untouched, 77},
        {all, all & ~kBandInfoBackgroundColor, {5, 22}, {-1, 22}, {1, 1}, {0, 0}, 8},
        {kBandInfoBackgroundColor, 0, untouched, untouched, untouched, untouched, 77},
        {kBandInfoMinSize | kBandInfoActual,
         kBandInfoMinSize | kBandInfoActual,
         {5, 22},
         untouched,
         untouched,
         {0, 0},
         77},
        {kBandInfoMaxSize | kBandInfoModeFlags | kBandInfoBackgroundColor,
         kBandInfoMaxSize | kBandInfoModeFlags,
         untouched,
         {-1, 22},
         untouched,
         untouched,
         8},
        {kBandInfoIntegral, kBandInfoIntegral, untouched, untouched, {1, 1}, untouched, 77},
        // Bits the band does not know stay as the host sent them.
        {0x100 | kBandInfoBackgroundColor, 0x100, untouched, untouched, untouched, untouched, 77},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        FakeBandInfo info{};
        info.dwMask = c.mask;
        FillBandInfo(info, 22);
        EXPECT_EQ(info.dwMask, c.maskAfter);
        EXPECT_EQ(info.ptMinSize.x, c.minSize.x);
        EXPECT_EQ(info.ptMinSize.y, c.minSize.y);
        EXPECT_EQ(info.ptMaxSize.x, c.maxSize.x);
        EXPECT_EQ(info.ptMaxSize.y, c.maxSize.y);
        EXPECT_EQ(info.ptIntegral.x, c.integral.x);
        EXPECT_EQ(info.ptIntegral.y, c.integral.y);
        EXPECT_EQ(info.ptActual.x, c.actual.x);
        EXPECT_EQ(info.ptActual.y, c.actual.y);
        EXPECT_EQ(info.dwModeFlags, c.modeFlags);
        EXPECT_STREQ(info.wszTitle, "keep");
    }
    // The height is the bar's, whatever it is.
    FakeBandInfo info{};
    info.dwMask = kBandInfoMinSize | kBandInfoMaxSize;
    FillBandInfo(info, 30);
    EXPECT_EQ(info.ptMinSize.y, 30);
    EXPECT_EQ(info.ptMaxSize.y, 30);
}

TEST(BandObjectRulesTest, ShowAndCloseMoveTheNewRowState) {
    struct Case {
        bool newRow;
        bool hasWindow;
        int32_t show;
        ShowStep step;
    };
    const Case cases[] = {
        {true, true, 1, {true, true, false}},
        {false, true, 1, {false, true, false}},
        {true, true, 0, {true, false, true}},
        {false, true, 0, {false, false, true}},
        // A BOOL other than 1 is no request to show.
        {false, true, 2, {false, false, true}},
        {false, true, -1, {false, false, true}},
        // Without a window only the row break and the stored value remain.
        {true, false, 1, {true, false, false}},
        {true, false, 0, {true, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.newRow << c.hasWindow << c.show);
        const ShowStep step = PlanShow(c.newRow, c.hasWindow, c.show);
        EXPECT_EQ(step.breakRow, c.step.breakRow);
        EXPECT_EQ(step.showWindow, c.step.showWindow);
        EXPECT_EQ(step.clearNewRow, c.step.clearNewRow);
    }
    EXPECT_TRUE(ClosingStoresNewRow(true, false));
    EXPECT_FALSE(ClosingStoresNewRow(true, true));
    EXPECT_FALSE(ClosingStoresNewRow(false, false));
}

} // namespace
} // namespace corvina
