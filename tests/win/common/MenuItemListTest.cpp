#include "TestSupport.h"

#include "common/MenuItemList.h"
#include "common/Registry.h"
#include "common/UiText.h"
#include "common/core/MenuListValues.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <new>
#include <sstream>

namespace {

// A list of one identifier carrying `tag`.
Bytes ListOf(BYTE tag) {
    return {5, 0, tag, tag, tag, 0, 0};
}

Bytes Dword(DWORD v) {
    return {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)};
}
Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

std::string No(DWORD k) {
    char name[16];
    std::snprintf(name, sizeof(name), "NO.%03lu", static_cast<unsigned long>(k));
    return name;
}
std::string Dn(DWORD k) {
    char name[16];
    std::snprintf(name, sizeof(name), "DN.%03lu", static_cast<unsigned long>(k));
    return name;
}

MenuItemRecord Record(BYTE tag, const std::string& name) {
    const Bytes list = ListOf(tag);
    return {CItemIdList::FromBytes(list.data(), list.size()), name};
}

// What a loaded list holds, as (first identifier byte, display name) pairs.
std::vector<std::pair<int, std::string>> Summary(const MenuItemList& list) {
    std::vector<std::pair<int, std::string>> out;
    for (const MenuItemRecord& record : list) {
        const BYTE* bytes = reinterpret_cast<const BYTE*>(record.itemIdList.Get());
        out.push_back({bytes ? bytes[2] : -1, record.displayName});
    }
    return out;
}

class MenuItemListStore : public RegistryTest {};

TEST_F(MenuItemListStore, SavedListLoadsBackAndIsStoredInItsRegistryForm) {
    MenuItemList list;
    list.push_back(Record(1, "first"));
    list.push_back(Record(2, ""));
    list.push_back(Record(3, "third one"));
    ASSERT_EQ(SaveMenuItemList(list), TRUE);

    EXPECT_EQ(Summary(LoadMenuItemList()),
              (std::vector<std::pair<int, std::string>>{{1, "first"}, {2, ""}, {3, "third one"}}));

    DWORD type = 0;
    Bytes data;
    ASSERT_TRUE(GetValueW(kCorvinaKeyPath, "Length", &type, &data));
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(data, Dword(3));
    for (DWORD k = 1; k <= 3; ++k) {
        ASSERT_TRUE(GetValueW(kCorvinaKeyPath, No(k).c_str(), &type, &data)) << k;
        EXPECT_EQ(type, DWORD(REG_BINARY));
        EXPECT_EQ(data, ListOf(BYTE(k)));
        ASSERT_TRUE(GetValueW(kCorvinaKeyPath, Dn(k).c_str(), &type, &data)) << k;
        EXPECT_EQ(type, DWORD(REG_SZ));
    }
    ASSERT_TRUE(GetValueA(kCorvinaKeyPath, "DN.003", &type, &data));
    EXPECT_EQ(std::string(data.begin(), data.end()).c_str(), std::string("third one"));
}

struct RawValue {
    std::string name;
    DWORD type;
    Bytes data;
};

RawValue NoValue(DWORD k) {
    return {No(k), REG_BINARY, ListOf(BYTE(k))};
}
RawValue DnValue(DWORD k, const std::string& text) {
    return {Dn(k), REG_SZ, Text(text)};
}
RawValue LengthValue(Bytes data, DWORD type = REG_DWORD) {
    return {"Length", type, data};
}

TEST_F(MenuItemListStore, StoredFormsLoadAsTheRecordWalkReadsThem) {
    struct Case {
        const char* what;
        std::vector<RawValue> values;
        std::vector<std::pair<int, std::string>> expected;
    };
    std::vector<RawValue> sparse = {LengthValue(Dword(0xFFFFFFFF))};
    std::vector<std::pair<int, std::string>> sparseExpected;
    for (DWORD k = 1; k <= 10; ++k) {
        sparse.push_back(NoValue(k));
        sparse.push_back(DnValue(k, "n" + std::to_string(k)));
        sparseExpected.push_back({int(k), "n" + std::to_string(k)});
    }
    const Case cases[] = {
        {"no key", {}, {}},
        {"no Length", {NoValue(1)}, {}},
        {"Length 0", {LengthValue(Dword(0)), NoValue(1)}, {}},
        {"NO.002 deleted",
         {LengthValue(Dword(3)), NoValue(1), DnValue(1, "a"), DnValue(2, "b"), NoValue(3),
          DnValue(3, "c")},
         {{1, "a"}, {3, "c"}}},
        {"leftovers beyond Length",
         {LengthValue(Dword(2)), NoValue(1), NoValue(2), NoValue(3), DnValue(3, "old")},
         {{1, ""}, {2, ""}}},
        {"NO.001 stored as REG_SZ",
         {LengthValue(Dword(2)), {"NO.001", REG_SZ, Text("abcdefg")}, DnValue(1, "a"), NoValue(2)},
         {{2, ""}}},
        {"DN with and without terminator",
         {LengthValue(Dword(2)),
          NoValue(1),
          {"DN.001", REG_SZ, Text(std::string("abc\0", 4))},
          NoValue(2),
          DnValue(2, "abc")},
         {{1, "abc"}, {2, "abc"}}},
        {"DN empty or missing",
         {LengthValue(Dword(2)), NoValue(1), DnValue(1, ""), NoValue(2)},
         {{1, ""}, {2, ""}}},
        {"Length 0xFFFFFFFF with ten records", sparse, sparseExpected},
        {"malformed NO values",
         {LengthValue(Dword(4)),
          NoValue(1),
          {"NO.002", REG_BINARY, {9, 0, 1, 0, 0}},
          {"NO.003", REG_BINARY, {}},
          {"NO.004", REG_BINARY, {1, 0, 0, 0}}},
         {{1, ""}}},
        {"NO.0001 is not record 1",
         {LengthValue(Dword(1)), {"NO.0001", REG_BINARY, ListOf(1)}, DnValue(1, "a")},
         {}},
        {"names in other case",
         {LengthValue(Dword(2)),
          {"no.001", REG_BINARY, ListOf(1)},
          {"dn.001", REG_SZ, Text("x")},
          {"No.002", REG_BINARY, ListOf(2)}},
         {{1, "x"}, {2, ""}}},
        {"Length of 2 bytes",
         {LengthValue({2, 0}, REG_BINARY), NoValue(1), NoValue(2)},
         {{1, ""}, {2, ""}}},
        {"Length of 8 bytes", {LengthValue({2, 0, 0, 0, 0, 0, 0, 0}, REG_BINARY), NoValue(1)}, {}},
        {"Length as REG_SZ of 4 bytes",
         {LengthValue({2, 0, 0, 0}, REG_SZ), NoValue(1), NoValue(2), NoValue(3)},
         {{1, ""}, {2, ""}}},
    };
    for (const Case& c : cases) {
        DeleteTestKeys();
        for (const RawValue& value : c.values) {
            PutValue(kCorvinaKeyPath, value.name.c_str(), value.type, value.data);
        }
        EXPECT_EQ(Summary(LoadMenuItemList()), c.expected) << c.what;
    }
}

TEST_F(MenuItemListStore, RecordOneThousandUsesFourDigitNames) {
    MenuItemList list;
    for (int k = 1; k <= 1000; ++k) {
        list.push_back(Record(BYTE(k), k == 1000 ? "last" : ""));
    }
    ASSERT_EQ(SaveMenuItemList(list), TRUE);
    EXPECT_TRUE(ValueExists(kCorvinaKeyPath, "NO.999"));
    EXPECT_TRUE(ValueExists(kCorvinaKeyPath, "NO.1000"));
    EXPECT_TRUE(ValueExists(kCorvinaKeyPath, "DN.1000"));
    EXPECT_FALSE(ValueExists(kCorvinaKeyPath, "NO.0999"));
    const MenuItemList loaded = LoadMenuItemList();
    ASSERT_EQ(loaded.size(), 1000u);
    EXPECT_EQ(loaded[999].displayName, "last");
    EXPECT_EQ(reinterpret_cast<const BYTE*>(loaded[999].itemIdList.Get())[2], BYTE(1000 & 0xFF));
}

TEST_F(MenuItemListStore, SavingAShorterListLeavesTheOlderValues) {
    MenuItemList five;
    for (int k = 1; k <= 5; ++k) {
        five.push_back(Record(BYTE(k), "old" + std::to_string(k)));
    }
    ASSERT_EQ(SaveMenuItemList(five), TRUE);
    MenuItemList two;
    two.push_back(Record(21, "new1"));
    two.push_back(Record(22, "new2"));
    ASSERT_EQ(SaveMenuItemList(two), TRUE);

    DWORD type = 0;
    Bytes data;
    ASSERT_TRUE(GetValueW(kCorvinaKeyPath, "Length", &type, &data));
    EXPECT_EQ(data, Dword(2));
    for (DWORD k = 3; k <= 5; ++k) {
        EXPECT_TRUE(ValueExists(kCorvinaKeyPath, No(k).c_str())) << k;
        EXPECT_TRUE(ValueExists(kCorvinaKeyPath, Dn(k).c_str())) << k;
    }
    EXPECT_EQ(Summary(LoadMenuItemList()),
              (std::vector<std::pair<int, std::string>>{{21, "new1"}, {22, "new2"}}));
}

TEST_F(MenuItemListStore, RecordWithoutItemIdListIsLeftOutAndReported) {
    MenuItemList list;
    list.push_back(Record(1, "a"));
    list.push_back(MenuItemRecord{CItemIdList(), "lost"});
    list.push_back(Record(3, "c"));
    EXPECT_EQ(SaveMenuItemList(list), FALSE);
    EXPECT_EQ(Summary(LoadMenuItemList()),
              (std::vector<std::pair<int, std::string>>{{1, "a"}, {3, "c"}}));
    EXPECT_FALSE(ValueExists(kCorvinaKeyPath, "NO.003"));
}

// Every value goes to the list key, except that write number `at` (from 0) is refused or
// throws, as an allocation that fails would.
class FaultyWriter : public corvina::MenuListValueWriter {
public:
    FaultyWriter(int at, bool throws) : m_at(at), m_throws(throws) {}
    bool WriteDword(const char* name, uint32_t value) override {
        return Pass() && WriteRegistryDword(HKEY_CURRENT_USER, kCorvinaKeyPath, name, value);
    }
    bool WriteBinary(const char* name, const uint8_t* data, size_t size) override {
        return Pass() && WriteRegistryBinary(HKEY_CURRENT_USER, kCorvinaKeyPath, name, data,
                                             static_cast<DWORD>(size));
    }
    bool WriteText(const char* name, std::string_view text) override {
        return Pass() && WriteRegistryString(HKEY_CURRENT_USER, kCorvinaKeyPath, name, text);
    }

private:
    bool Pass() {
        if (m_writes++ != m_at) {
            return true;
        }
        if (m_throws) {
            throw std::bad_alloc();
        }
        return false;
    }
    int m_at;
    bool m_throws;
    int m_writes = 0;
};

TEST_F(MenuItemListStore, AFailedSaveReportsFailureAndKeepsTheOldCount) {
    struct Case {
        const char* what;
        int at;
        bool throws;
    } cases[] = {
        {"first write throws", 0, true}, {"DN.002 refused", 3, false}, {"NO.003 throws", 4, true},
        {"Length refused", 8, false},    {"Length throws", 8, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteTestKeys();
        MenuItemList old;
        old.push_back(Record(1, "old1"));
        old.push_back(Record(2, "old2"));
        ASSERT_EQ(SaveMenuItemList(old), TRUE);
        MenuItemList longer;
        for (BYTE tag = 11; tag <= 14; ++tag) {
            longer.push_back(Record(tag, "new"));
        }
        FaultyWriter writer(c.at, c.throws);
        EXPECT_EQ(SaveMenuItemListWith(writer, longer), FALSE);
        DWORD type = 0;
        Bytes data;
        ASSERT_TRUE(GetValueW(kCorvinaKeyPath, "Length", &type, &data));
        EXPECT_EQ(data, Dword(2));
        EXPECT_EQ(LoadMenuItemList().size(), 2u);
    }
}

TEST_F(MenuItemListStore, JapaneseNameIsStoredInTheSystemCodePage) {
    const std::string name = BuildText({L"日本語", "Japanese"});
    MenuItemList list;
    list.push_back(Record(1, name));
    ASSERT_EQ(SaveMenuItemList(list), TRUE);

    DWORD type = 0;
    Bytes data;
    ASSERT_TRUE(GetValueA(kCorvinaKeyPath, "DN.001", &type, &data));
    EXPECT_EQ(type, DWORD(REG_SZ));
    const std::string stored = std::string(data.begin(), data.end()).c_str();
    if (IsJapaneseRun()) {
        EXPECT_EQ(stored, "\x93\xFA\x96\x7B\x8C\xEA");
    } else {
        EXPECT_EQ(stored, "Japanese");
    }
    // The registry holds the text itself, whatever the code page.
    ASSERT_TRUE(GetValueW(kCorvinaKeyPath, "DN.001", &type, &data));
    const std::wstring wide(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2);
    EXPECT_EQ(std::wstring(wide.c_str()), IsJapaneseRun() ? L"日本語" : L"Japanese");

    const MenuItemList loaded = LoadMenuItemList();
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].displayName, name);
}

// Runs the system's own "reg export" on the key and returns the file's lines (UTF-16).
std::vector<std::wstring> ExportCorvinaKey() {
    const CScratchFolder folder("export");
    const std::string file = folder.File("corvina.reg");
    std::string command = "reg.exe export HKCU\\Software\\Velmora\\Corvina \"";
    command += file;
    command += "\" /y";
    std::vector<std::wstring> lines;
    EXPECT_EQ(RunAndWait(command, 120000, CREATE_NO_WINDOW), 0) << "reg.exe export";

    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    EXPECT_GE(bytes.size(), 2u);
    if (bytes.size() < 2) {
        return lines;
    }
    EXPECT_EQ(BYTE(bytes[0]), 0xFF);
    EXPECT_EQ(BYTE(bytes[1]), 0xFE);
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    std::wstringstream stream(text);
    std::wstring line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == L'\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

TEST_F(MenuItemListStore, SystemExportShowsTheStoredForm) {
    MenuItemList list;
    list.push_back(Record(0xAB, BuildText({L"日本語", "Japanese"})));
    const Bytes two = {3, 0, 0x7F, 6, 0, 1, 2, 3, 4, 0, 0};
    list.push_back({CItemIdList::FromBytes(two.data(), two.size()), ""});
    ASSERT_EQ(SaveMenuItemList(list), TRUE);

    const std::vector<std::wstring> lines = ExportCorvinaKey();
    auto has = [&](const std::wstring& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has(L"[HKEY_CURRENT_USER\\Software\\Velmora\\Corvina]"));
    EXPECT_TRUE(has(L"\"Length\"=dword:00000002"));
    EXPECT_TRUE(has(L"\"NO.001\"=hex:05,00,ab,ab,ab,00,00"));
    EXPECT_TRUE(has(L"\"NO.002\"=hex:03,00,7f,06,00,01,02,03,04,00,00"));
    // Names are stored without a terminator. Wine's exporter takes the last UTF-16 unit of
    // every string for its terminator, so an unterminated name shows one character short;
    // the whole name here would mean a terminator had been stored.
    EXPECT_TRUE(has(IsJapaneseRun() ? L"\"DN.001\"=\"日本\"" : L"\"DN.001\"=\"Japanes\""));
    EXPECT_TRUE(has(L"\"DN.002\"=\"\""));
    size_t values = 0;
    for (const std::wstring& line : lines) {
        values += !line.empty() && line[0] == L'"';
    }
    EXPECT_EQ(values, 5u);
}

} // namespace
