#include "TestSupport.h"

#include <shlwapi.h>

#include "common/Registry.h"
#include "common/ResidentOptionsStore.h"

namespace {

using corvina::ResidentOptions;

class ResidentOptionsStore : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        SHDeleteKeyA(HKEY_CURRENT_USER, kCorvinaPlusKeyPath);
    }
    void TearDown() override {
        SHDeleteKeyA(HKEY_CURRENT_USER, kCorvinaPlusKeyPath);
        RegistryTest::TearDown();
    }
};

TEST_F(ResidentOptionsStore, SaveWritesEachValueInItsStoredForm) {
    ASSERT_EQ(EnsureRegistryKey(HKEY_CURRENT_USER, kCorvinaPlusKeyPath), TRUE);
    ResidentOptions options;
    options.keyCode = 'E';
    options.modifiers = 5;
    options.tierFlag = true;
    options.folderOnly = false;
    EXPECT_EQ(SaveResidentOptions(options), TRUE);
    const struct {
        const char* name;
        DWORD type;
        Bytes bytes;
    } expected[] = {
        {"KeyCode", REG_BINARY, {'E', 0}},
        {"Modifiers", REG_BINARY, {5, 0}},
        {"TierFlag", REG_DWORD, {1, 0, 0, 0}},
        {"FolderOnly", REG_DWORD, {0, 0, 0, 0}},
    };
    for (const auto& value : expected) {
        DWORD type = 0;
        Bytes bytes;
        ASSERT_TRUE(GetValueA(kCorvinaPlusKeyPath, value.name, &type, &bytes)) << value.name;
        EXPECT_EQ(type, value.type) << value.name;
        EXPECT_EQ(bytes, value.bytes) << value.name;
    }
    const ResidentOptions read = LoadResidentOptions();
    EXPECT_EQ(read.keyCode, 'E');
    EXPECT_EQ(read.modifiers, 5);
    EXPECT_TRUE(read.tierFlag);
    EXPECT_FALSE(read.folderOnly);
}

TEST_F(ResidentOptionsStore, SaveCreatesNoKey) {
    EXPECT_EQ(SaveResidentOptions(ResidentOptions{}), FALSE);
    EXPECT_FALSE(ValueExists(kCorvinaPlusKeyPath, "KeyCode"));
}

TEST_F(ResidentOptionsStore, LoadReplacesOnlyWhatIsReadable) {
    struct Value {
        const char* name;
        DWORD type;
        Bytes bytes;
    };
    struct Case {
        const char* name;
        std::vector<Value> values;
        BYTE key;
        BYTE modifiers;
        bool tierFlag;
        bool folderOnly;
    };
    // Every case starts from 'W' with Shift and both flags set.
    const Case cases[] = {
        {"no key", {}, 'W', 1, true, true},
        {"all four",
         {{"KeyCode", REG_BINARY, {'E', 0}},
          {"Modifiers", REG_BINARY, {3, 0}},
          {"TierFlag", REG_DWORD, {0, 0, 0, 0}},
          {"FolderOnly", REG_DWORD, {0, 0, 0, 0}}},
         'E',
         3,
         false,
         false},
        {"key without modifiers", {{"KeyCode", REG_BINARY, {'E', 0}}}, 'W', 1, true, true},
        {"key stored as a number",
         {{"KeyCode", REG_DWORD, {'E', 0, 0, 0}}, {"Modifiers", REG_BINARY, {3, 0}}},
         'W',
         1,
         true,
         true},
        {"flag of one byte", {{"TierFlag", REG_BINARY, {0}}}, 'W', 1, false, true},
        {"flag longer than a number",
         {{"FolderOnly", REG_BINARY, Bytes(8, 0)}},
         'W',
         1,
         true,
         true},
    };
    for (const Case& c : cases) {
        SHDeleteKeyA(HKEY_CURRENT_USER, kCorvinaPlusKeyPath);
        for (const Value& value : c.values) {
            PutValue(kCorvinaPlusKeyPath, value.name, value.type, value.bytes);
        }
        ResidentOptions current;
        current.keyCode = 'W';
        current.modifiers = 1;
        current.tierFlag = true;
        current.folderOnly = true;
        const ResidentOptions read = LoadResidentOptions(current);
        EXPECT_EQ(read.keyCode, c.key) << c.name;
        EXPECT_EQ(read.modifiers, c.modifiers) << c.name;
        EXPECT_EQ(read.tierFlag, c.tierFlag) << c.name;
        EXPECT_EQ(read.folderOnly, c.folderOnly) << c.name;
    }
}

} // namespace
