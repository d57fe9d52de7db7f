#include "common/core/ResidentOptionValues.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace corvina {
namespace {

StoredOptionValue Binary(std::vector<uint8_t> bytes) {
    return {true, true, std::move(bytes)};
}
StoredOptionValue OtherType(std::vector<uint8_t> bytes) {
    return {true, false, std::move(bytes)};
}
StoredOptionValue Missing() {
    return {};
}

TEST(ResidentOptions, HotKeyValuesApplyOnlyWhenBothAreReadable) {
    struct Case {
        const char* name;
        StoredOptionValue keyCode;
        StoredOptionValue modifiers;
        bool applied;
        uint8_t key;
        uint8_t mods;
    };
    const Case cases[] = {
        {"both two bytes", Binary({'W', 0}), Binary({3, 0}), true, 'W', 3},
        {"high bytes ignored", Binary({'Z', 0x12}), Binary({5, 0x34}), true, 'Z', 5},
        {"one byte each", Binary({'A'}), Binary({1}), true, 'A', 1},
        {"long values use the first byte", Binary({'B', 0, 9, 9}), Binary({2, 0, 7, 7}), true, 'B',
         2},
        {"key without modifiers", Binary({'W', 0}), Missing(), false, 81, 6},
        {"modifiers without key", Missing(), Binary({3, 0}), false, 81, 6},
        {"neither", Missing(), Missing(), false, 81, 6},
        {"key of another type", OtherType({'W', 0, 0, 0}), Binary({3, 0}), false, 81, 6},
        {"modifiers of another type", Binary({'W', 0}), OtherType({3, 0, 0, 0}), false, 81, 6},
        {"empty key", Binary({}), Binary({3, 0}), false, 81, 6},
        {"empty modifiers", Binary({'W', 0}), Binary({}), false, 81, 6},
    };
    for (const Case& c : cases) {
        ResidentOptions options;
        EXPECT_EQ(ApplyHotKeyValues(options, c.keyCode, c.modifiers), c.applied) << c.name;
        EXPECT_EQ(options.keyCode, c.key) << c.name;
        EXPECT_EQ(options.modifiers, c.mods) << c.name;
    }
}

TEST(ResidentOptions, RefusedValuesKeepThePreviousCombinationNotTheDefault) {
    ResidentOptions options;
    ASSERT_TRUE(ApplyHotKeyValues(options, Binary({'W', 0}), Binary({1, 0})));
    EXPECT_FALSE(ApplyHotKeyValues(options, Binary({'E', 0}), Missing()));
    EXPECT_EQ(options.keyCode, 'W');
    EXPECT_EQ(options.modifiers, 1);
}

TEST(ResidentOptions, FlagsFollowReadableValuesAndStayWhenMissing) {
    bool flag = false;
    const uint32_t one = 1, zero = 0, large = 0x80000000u;
    ApplyFlagValue(flag, &one);
    EXPECT_TRUE(flag);
    ApplyFlagValue(flag, nullptr);
    EXPECT_TRUE(flag);
    ApplyFlagValue(flag, &zero);
    EXPECT_FALSE(flag);
    ApplyFlagValue(flag, &large);
    EXPECT_TRUE(flag);
}

TEST(ResidentOptions, ValuesAreWrittenInTheFormTheyAreReadIn) {
    struct Case {
        uint8_t value;
        std::array<uint8_t, 2> bytes;
    };
    const Case cases[] = {{'Q', {'Q', 0}}, {6, {6, 0}}, {0, {0, 0}}, {0xFF, {0xFF, 0}}};
    for (const Case& c : cases) {
        const std::array<uint8_t, 2> bytes = EncodeHotKeyValue(c.value);
        EXPECT_EQ(bytes, c.bytes) << int(c.value);
        // What is written reads back as the same byte.
        ResidentOptions options;
        const StoredOptionValue stored = Binary({bytes.begin(), bytes.end()});
        ASSERT_TRUE(ApplyHotKeyValues(options, stored, stored));
        EXPECT_EQ(options.keyCode, c.value);
    }
    for (bool flag : {false, true}) {
        const uint32_t number = EncodeFlagValue(flag);
        EXPECT_EQ(number, flag ? 1u : 0u);
        bool read = !flag;
        ApplyFlagValue(read, &number);
        EXPECT_EQ(read, flag);
    }
}

TEST(ResidentOptions, ValueNamesAreTheStoredOnes) {
    EXPECT_STREQ(kKeyCodeValueName, "KeyCode");
    EXPECT_STREQ(kModifiersValueName, "Modifiers");
    EXPECT_STREQ(kTierFlagValueName, "TierFlag");
    EXPECT_STREQ(kFolderOnlyValueName, "FolderOnly");
}

} // namespace
} // namespace corvina
