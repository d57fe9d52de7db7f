#include "TestSupport.h"

#include "common/Registry.h"

namespace {

class RegistryHelpers : public RegistryTest {
protected:
    static constexpr const char* kNested = "Software\\CorvinaTestScratch\\Level One\\Level Two";
};

TEST(RegistryKeyPaths, AreTheSharedNames) {
    EXPECT_STREQ(kVelmoraKeyPath, "Software\\Velmora");
    EXPECT_STREQ(kCorvinaKeyPath, "Software\\Velmora\\Corvina");
    EXPECT_STREQ(kCorvinaPlusKeyPath, "Software\\Velmora\\Corvina Plus");
    EXPECT_STREQ(kCorvinaBarKeyPath, "Software\\Velmora\\Corvina Bar");
}

TEST_F(RegistryHelpers, EnsureCreatesEveryMissingLevelAndKeepsExistingValues) {
    PutValue(kScratchKeyPath, "keep", REG_DWORD, {7, 0, 0, 0});
    ASSERT_EQ(EnsureRegistryKey(HKEY_CURRENT_USER, kNested), TRUE);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kNested, 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_TRUE(ValueExists(kScratchKeyPath, "keep"));
    // Existing keys are fine too.
    EXPECT_EQ(EnsureRegistryKey(HKEY_CURRENT_USER, kNested), TRUE);
}

TEST_F(RegistryHelpers, WritersNeverCreateTheKey) {
    EXPECT_EQ(WriteRegistryDword(HKEY_CURRENT_USER, kNested, "v", 1), FALSE);
    EXPECT_EQ(WriteRegistryString(HKEY_CURRENT_USER, kNested, "v", "x"), FALSE);
    EXPECT_EQ(WriteRegistryBinary(HKEY_CURRENT_USER, kNested, "v", "x", 1), FALSE);
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kNested, 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST_F(RegistryHelpers, StringIsStoredWithItsLengthAsSize) {
    ASSERT_EQ(EnsureRegistryKey(HKEY_CURRENT_USER, kScratchKeyPath), TRUE);
    // A C string: RegSetValueExA would count the zero byte after the data as a terminator.
    ASSERT_EQ(WriteRegistryString(HKEY_CURRENT_USER, kScratchKeyPath, "s", "abc"), TRUE);
    DWORD type = 0;
    Bytes data;
    ASSERT_TRUE(GetValueW(kScratchKeyPath, "s", &type, &data));
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(data, (Bytes{'a', 0, 'b', 0, 'c', 0}));

    std::string text = "sentinel";
    ASSERT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kScratchKeyPath, "s", &text), TRUE);
    EXPECT_EQ(text, "abc");
}

TEST_F(RegistryHelpers, StringReadsTheSameWithOrWithoutTerminator) {
    struct Case {
        DWORD type;
        Bytes stored;
        const char* expected;
    };
    const Case cases[] = {
        {REG_SZ, {'a', 'b', 'c'}, "abc"}, {REG_SZ, {'a', 'b', 'c', 0}, "abc"}, {REG_SZ, {}, ""},
        {REG_BINARY, {'x', 'y'}, "xy"},   {REG_BINARY, {'x', 0, 'y'}, "x"},
    };
    for (const Case& c : cases) {
        PutValue(kScratchKeyPath, "s", c.type, c.stored);
        std::string text = "sentinel";
        ASSERT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kScratchKeyPath, "s", &text), TRUE);
        EXPECT_EQ(text, c.expected);
    }
    std::string text = "sentinel";
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kScratchKeyPath, "missing", &text), FALSE);
    EXPECT_EQ(text, "sentinel");
}

TEST_F(RegistryHelpers, DwordReadsFourBytesWhateverTheType) {
    struct Case {
        DWORD type;
        Bytes stored;
        BOOL ok;
        DWORD expected;
    };
    const Case cases[] = {
        {REG_DWORD, {1, 2, 3, 4}, TRUE, 0x04030201},
        {REG_BINARY, {5, 1}, TRUE, 0x0105},
        {REG_BINARY, {}, TRUE, 0},
        {REG_BINARY, {1, 0, 0, 0, 0}, FALSE, 0xDEADBEEF},
        {REG_SZ, {'1', 0, 0, 0}, TRUE, '1'},
    };
    for (const Case& c : cases) {
        PutValue(kScratchKeyPath, "d", c.type, c.stored);
        DWORD value = 0xDEADBEEF;
        EXPECT_EQ(ReadRegistryDword(HKEY_CURRENT_USER, kScratchKeyPath, "d", &value), c.ok);
        EXPECT_EQ(value, c.expected);
    }
    ASSERT_EQ(WriteRegistryDword(HKEY_CURRENT_USER, kScratchKeyPath, "d", 0x12345678), TRUE);
    DWORD type = 0;
    Bytes data;
    ASSERT_TRUE(GetValueW(kScratchKeyPath, "d", &type, &data));
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(data, (Bytes{0x78, 0x56, 0x34, 0x12}));
}

TEST_F(RegistryHelpers, BinaryRoundTrip) {
    ASSERT_EQ(EnsureRegistryKey(HKEY_CURRENT_USER, kScratchKeyPath), TRUE);
    const BYTE keyCode[2] = {0x51, 0x00};
    ASSERT_EQ(WriteRegistryBinary(HKEY_CURRENT_USER, kScratchKeyPath, "KeyCode", keyCode, 2), TRUE);
    DWORD type = 0;
    Bytes data;
    ASSERT_TRUE(GetValueW(kScratchKeyPath, "KeyCode", &type, &data));
    EXPECT_EQ(type, DWORD(REG_BINARY));
    EXPECT_EQ(data, (Bytes{0x51, 0x00}));

    BYTE read[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    DWORD size = sizeof(read);
    ASSERT_EQ(ReadRegistryBinary(HKEY_CURRENT_USER, kScratchKeyPath, "KeyCode", read, &size), TRUE);
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(read[0], 0x51);
    EXPECT_EQ(read[2], 0xEE);
    size = 1;
    EXPECT_EQ(ReadRegistryBinary(HKEY_CURRENT_USER, kScratchKeyPath, "KeyCode", read, &size),
              FALSE);
}

} // namespace
