#include "common/core/MenuListValues.h"

#include "common/core/ItemIdListBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <cstring>
#include <cctype>
#include <random>
#include <string>
#include <vector>

namespace corvina {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(MenuValueNames, Formatting) {
    struct Case {
        MenuValueKind kind;
        uint32_t number;
        const char* expected;
    };
    const Case cases[] = {
        {MenuValueKind::ItemIdList, 1, "NO.001"},
        {MenuValueKind::DisplayName, 1, "DN.001"},
        {MenuValueKind::ItemIdList, 42, "NO.042"},
        {MenuValueKind::ItemIdList, 999, "NO.999"},
        {MenuValueKind::ItemIdList, 1000, "NO.1000"},
        {MenuValueKind::DisplayName, 1000, "DN.1000"},
        {MenuValueKind::ItemIdList, 0, "NO.000"},
        {MenuValueKind::ItemIdList, 2147483647u, "NO.2147483647"},
        {MenuValueKind::ItemIdList, 2147483648u, "NO.2147483648"},
        {MenuValueKind::DisplayName, 4294967295u, "DN.4294967295"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatMenuValueName(c.kind, c.number), c.expected);
        char buffer[kMenuValueNameBufferSize];
        std::memset(buffer, 'x', sizeof(buffer));
        const size_t length = FormatMenuValueName(c.kind, c.number, buffer);
        EXPECT_EQ(length, std::strlen(c.expected));
        EXPECT_STREQ(buffer, c.expected);
    }
}

TEST(MenuValueNames, Recognition) {
    struct Case {
        const char* name;
        bool accepted;
        MenuValueKind kind;
        uint32_t number;
    };
    const MenuValueKind no = MenuValueKind::ItemIdList;
    const MenuValueKind dn = MenuValueKind::DisplayName;
    const Case cases[] = {
        {"NO.001", true, no, 1},
        {"no.001", true, no, 1},
        {"No.042", true, no, 42},
        {"DN.999", true, dn, 999},
        {"dN.003", true, dn, 3},
        {"no.1000", true, no, 1000},
        {"NO.4294967295", true, no, 4294967295u},
        {"NO.2147483648", true, no, 2147483648u},
        {"NO.01", false, no, 0},
        {"NO.0001", false, no, 0},
        {"NO.01000", false, no, 0},
        {"NO.1", false, no, 0},
        {"NO.1 ", false, no, 0},
        {" NO.001", false, no, 0},
        {"NO.+01", false, no, 0},
        {"NO.-01", false, no, 0},
        {"NO.00", false, no, 0},
        {"NO.000", false, no, 0},
        {"NO.4294967296", false, no, 0},
        {"NO.99999999999", false, no, 0},
        {"NO,001", false, no, 0},
        {"NO_001", false, no, 0},
        {"NX.001", false, no, 0},
        {"Length", false, no, 0},
        {"", false, no, 0},
        {"NO.", false, no, 0},
        {"NO.0x1", false, no, 0},
    };
    for (const Case& c : cases) {
        const std::optional<MenuValueName> parsed = ParseMenuValueName(c.name);
        ASSERT_EQ(parsed.has_value(), c.accepted) << c.name;
        if (c.accepted) {
            EXPECT_EQ(parsed->kind, c.kind) << c.name;
            EXPECT_EQ(parsed->number, c.number) << c.name;
        }
    }
}

TEST(MenuValueNames, EmbeddedZeroIsNotTheEndOfTheName) {
    EXPECT_FALSE(ParseMenuValueName(std::string_view("NO.001\0", 7)).has_value());
    EXPECT_FALSE(ParseMenuValueName(std::string_view("NO.\0"
                                                     "01",
                                                     6))
                     .has_value());
}

TEST(MenuValueNames, EveryFormattedNameIsRecognisedBack) {
    std::mt19937 random(7);
    std::vector<uint32_t> numbers = {1, 9, 10, 99, 100, 999, 1000, 9999, 10000, 4294967295u};
    for (int i = 0; i < 2000; ++i) {
        numbers.push_back(random() | 1u);
    }
    for (uint32_t number : numbers) {
        for (MenuValueKind kind : {MenuValueKind::ItemIdList, MenuValueKind::DisplayName}) {
            const std::optional<MenuValueName> parsed =
                ParseMenuValueName(FormatMenuValueName(kind, number));
            ASSERT_TRUE(parsed.has_value()) << number;
            EXPECT_EQ(parsed->kind, kind);
            EXPECT_EQ(parsed->number, number);
        }
    }
}

TEST(MenuListLength, DecodedAsAFourByteQuery) {
    struct Case {
        Bytes data;
        uint32_t expected;
    };
    const Case cases[] = {
        {{}, 0},
        {{3}, 3},
        {{0x10, 0x27}, 10000},
        {{1, 0, 0}, 1},
        {{0xFF, 0xFF, 0xFF, 0xFF}, 0xFFFFFFFFu},
        {{2, 0, 0, 0, 0}, 0},
        {{2, 0, 0, 0, 0, 0, 0, 0}, 0},
        {{'2', 0, 0, 0}, 0x32},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecodeMenuListLength(c.data.data(), c.data.size()), c.expected);
    }
}

// ---------------------------------------------------------------------------------------
// An in-memory key, and the record walk k = 1 .. n done literally over it, one lookup of
// NO.k and DN.k per k, as the registry matches names: the reference for the assembly.

struct Value {
    std::string name;
    uint32_t type;
    Bytes data;
};

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

const Value* Find(const std::vector<Value>& key, const std::string& name) {
    for (const Value& value : key) {
        if (Upper(value.name) == Upper(name)) {
            return &value;
        }
    }
    return nullptr;
}

struct Record {
    uint32_t number;
    Bytes list;
    std::string name;
    bool operator==(const Record& o) const {
        return number == o.number && list == o.list && name == o.name;
    }
};

std::ostream& operator<<(std::ostream& out, const Record& r) {
    return out << "{" << r.number << ", " << r.list.size() << " bytes, \"" << r.name << "\"}";
}

uint32_t ModelLength(const std::vector<Value>& key) {
    const Value* length = Find(key, "Length");
    if (length == nullptr || length->data.size() > 4) {
        return 0;
    }
    uint32_t n = 0;
    for (size_t i = 0; i < length->data.size(); ++i) {
        n |= static_cast<uint32_t>(length->data[i]) << (8 * i);
    }
    return n;
}

// Keys here hold no record number above kModelLimit, so the walk may stop there.
constexpr uint32_t kModelLimit = 1100;

std::vector<Record> ModelWalk(const std::vector<Value>& key) {
    std::vector<Record> records;
    const uint32_t n = std::min(ModelLength(key), kModelLimit);
    for (uint32_t k = 1; k <= n; ++k) {
        const Value* list = Find(key, FormatMenuValueName(MenuValueKind::ItemIdList, k));
        if (list == nullptr || list->type != kRegTypeBinary ||
            !IsValidItemIdList(list->data.data(), list->data.size())) {
            continue;
        }
        Record record{k, list->data, ""};
        if (const Value* name = Find(key, FormatMenuValueName(MenuValueKind::DisplayName, k))) {
            std::string text(name->data.begin(), name->data.end());
            record.name = text.c_str();
        }
        records.push_back(record);
    }
    return records;
}

std::vector<Record> Assemble(const std::vector<Value>& key) {
    std::vector<StoredValue> values;
    for (const Value& value : key) {
        values.push_back({value.name, value.type, value.data.data(), value.data.size()});
    }
    std::vector<Record> records;
    for (const AssembledRecord& r : AssembleMenuRecords(ModelLength(key), values)) {
        records.push_back(
            {r.number, Bytes(r.itemIdList, r.itemIdList + r.itemIdListSize), r.displayName});
    }
    return records;
}

Bytes Dword(uint32_t v) {
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
}

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// A list of one identifier carrying `tag`.
Bytes ListOf(uint8_t tag) {
    return {4, 0, tag, tag, 0, 0};
}

Value No(uint32_t k, uint8_t tag) {
    return {FormatMenuValueName(MenuValueKind::ItemIdList, k), kRegTypeBinary, ListOf(tag)};
}
Value Dn(uint32_t k, const std::string& text) {
    return {FormatMenuValueName(MenuValueKind::DisplayName, k), kRegTypeSz, Text(text)};
}
Value Length(Bytes data, uint32_t type = kRegTypeDword) {
    return {"Length", type, data};
}

TEST(MenuRecordAssembly, EdgeCasesOfTheStoredForm) {
    struct Case {
        const char* what;
        std::vector<Value> key;
        std::vector<Record> expected;
    };
    std::vector<Value> thousand = {Length(Dword(1000))};
    for (uint32_t k = 1; k <= 1000; ++k) {
        thousand.push_back(No(k, static_cast<uint8_t>(k)));
    }
    thousand.push_back(Dn(1000, "last"));
    thousand.push_back(Dn(100, "hundred"));

    const Case cases[] = {
        {"no values", {}, {}},
        {"Length missing", {No(1, 1), Dn(1, "a")}, {}},
        {"Length 0", {Length(Dword(0)), No(1, 1), Dn(1, "a")}, {}},
        {"two records",
         {Length(Dword(2)), No(1, 1), Dn(1, "a"), No(2, 2), Dn(2, "b")},
         {{1, ListOf(1), "a"}, {2, ListOf(2), "b"}}},
        {"NO.002 deleted: the gap closes, DN.003 names the second record",
         {Length(Dword(3)), No(1, 1), Dn(1, "a"), Dn(2, "b"), No(3, 3), Dn(3, "c")},
         {{1, ListOf(1), "a"}, {3, ListOf(3), "c"}}},
        {"leftovers beyond Length ignored",
         {Length(Dword(2)), No(1, 1), No(2, 2), No(3, 3), Dn(3, "old")},
         {{1, ListOf(1), ""}, {2, ListOf(2), ""}}},
        {"NO stored as REG_SZ skipped",
         {Length(Dword(2)), {"NO.001", kRegTypeSz, ListOf(1)}, Dn(1, "a"), No(2, 2)},
         {{2, ListOf(2), ""}}},
        {"DN with and without terminator",
         {Length(Dword(2)),
          No(1, 1),
          {"DN.001", kRegTypeSz, Text(std::string("abc\0", 4))},
          No(2, 2),
          Dn(2, "abc")},
         {{1, ListOf(1), "abc"}, {2, ListOf(2), "abc"}}},
        {"DN missing or empty",
         {Length(Dword(2)), No(1, 1), No(2, 2), Dn(2, "")},
         {{1, ListOf(1), ""}, {2, ListOf(2), ""}}},
        {"DN of another type is read as text up to its first zero",
         {Length(Dword(1)), No(1, 1), {"DN.001", kRegTypeBinary, {'x', 'y', 0, 'z'}}},
         {{1, ListOf(1), "xy"}}},
        {"Length 0xFFFFFFFF with two records",
         {Length(Dword(0xFFFFFFFFu)), No(1, 1), No(7, 7), Dn(7, "seven")},
         {{1, ListOf(1), ""}, {7, ListOf(7), "seven"}}},
        {"malformed NO skipped",
         {Length(Dword(4)),
          No(1, 1),
          {"NO.002", kRegTypeBinary, {6, 0, 1, 0}},
          {"NO.003", kRegTypeBinary, {}},
          {"NO.004", kRegTypeBinary, {1, 0, 0, 0}}},
         {{1, ListOf(1), ""}}},
        {"NO with bytes after its terminator kept whole",
         {Length(Dword(1)), {"NO.001", kRegTypeBinary, {0, 0, 9, 9}}},
         {{1, {0, 0, 9, 9}, ""}}},
        {"NO.0001 is not record 1",
         {Length(Dword(1)), {"NO.0001", kRegTypeBinary, ListOf(1)}, Dn(1, "a")},
         {}},
        {"names matched without regard to case",
         {Length(Dword(2)),
          {"no.001", kRegTypeBinary, ListOf(1)},
          {"dn.001", kRegTypeSz, Text("a")},
          {"No.002", kRegTypeBinary, ListOf(2)}},
         {{1, ListOf(1), "a"}, {2, ListOf(2), ""}}},
        {"Length of 2 bytes", {Length({1, 0}), No(1, 1)}, {{1, ListOf(1), ""}}},
        {"Length of 8 bytes", {Length({1, 0, 0, 0, 0, 0, 0, 0}), No(1, 1)}, {}},
        {"Length stored as REG_SZ of 4 bytes",
         {Length({2, 0, 0, 0}, kRegTypeSz), No(1, 1), No(2, 2)},
         {{1, ListOf(1), ""}, {2, ListOf(2), ""}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Assemble(c.key), c.expected) << c.what;
        EXPECT_EQ(ModelWalk(c.key), c.expected) << c.what << " (reference walk)";
    }

    const std::vector<Record> records = Assemble(thousand);
    ASSERT_EQ(records.size(), 1000u);
    EXPECT_EQ(records[99].name, "hundred");
    EXPECT_EQ(records[999].number, 1000u);
    EXPECT_EQ(records[999].name, "last");
    EXPECT_EQ(records[999].list, ListOf(static_cast<uint8_t>(1000)));
}

TEST(MenuRecordAssembly, DuplicateNamesTakeTheFirst) {
    // The registry never holds two values of one name; assembly still decides.
    const std::vector<Value> key = {
        Length(Dword(1)), No(1, 1), No(1, 2), Dn(1, "a"), {"dn.001", kRegTypeSz, Text("b")}};
    EXPECT_EQ(Assemble(key), (std::vector<Record>{{1, ListOf(1), "a"}}));
}

// Random small keys: names in several spellings (right, wrong case, wrong padding), values of
// several types, lists well and badly formed; the assembly must agree with the walk.
TEST(MenuRecordAssembly, AgreesWithTheLiteralWalkOnRandomKeys) {
    std::mt19937 random(20240607);
    auto pick = [&](uint32_t n) { return static_cast<uint32_t>(random() % n); };
    auto randomCase = [&](std::string name) {
        for (char& c : name) {
            if (pick(2)) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
        }
        return name;
    };
    size_t nonEmpty = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<Value> key;
        auto add = [&](Value value) {
            if (Find(key, value.name) == nullptr) {
                key.push_back(std::move(value));
            }
        };
        const uint32_t lengthChoice = pick(6);
        if (lengthChoice == 0) {
            // no Length
        } else if (lengthChoice == 1) {
            add(Length(Dword(0xFFFFFFFFu - pick(3))));
        } else if (lengthChoice == 2) {
            Bytes data(pick(9));
            for (uint8_t& b : data) {
                b = static_cast<uint8_t>(pick(2) ? pick(14) : 0);
            }
            add(Length(data, pick(2) ? kRegTypeDword : kRegTypeSz));
        } else {
            add({randomCase("Length"), kRegTypeDword, Dword(pick(14))});
        }
        const uint32_t count = pick(24);
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t k = pick(13) + (pick(10) == 0 ? 990 : 0);
            const MenuValueKind kind =
                pick(2) ? MenuValueKind::ItemIdList : MenuValueKind::DisplayName;
            std::string name = FormatMenuValueName(kind, k);
            switch (pick(8)) {
            case 0:
                name.insert(3, "0");
                break;
            case 1:
                name = name.substr(0, 3) + std::to_string(k);
                break;
            case 2:
                name += " ";
                break;
            default:
                break;
            }
            name = randomCase(name);
            Bytes data;
            switch (pick(6)) {
            case 0:
                data = Text(pick(2) ? "label" : std::string("lab\0el", 6));
                break;
            case 1:
                data = {};
                break;
            case 2:
                for (uint32_t j = pick(8); j > 0; --j) {
                    data.push_back(static_cast<uint8_t>(pick(4)));
                }
                break;
            default:
                data = ListOf(static_cast<uint8_t>(k));
                if (pick(3) == 0) {
                    data.push_back(static_cast<uint8_t>(pick(256)));
                }
                break;
            }
            const uint32_t types[] = {kRegTypeBinary, kRegTypeBinary, kRegTypeSz, kRegTypeDword};
            add({name, types[pick(4)], data});
        }
        std::shuffle(key.begin(), key.end(), random);
        const std::vector<Record> expected = ModelWalk(key);
        nonEmpty += !expected.empty();
        ASSERT_EQ(Assemble(key), expected) << "round " << round;
    }
    // The generator must reach the interesting states, not only empty lists.
    EXPECT_GT(nonEmpty, 500u);
}

// ---------------------------------------------------------------------------------------
// Saving over the in-memory key: after every single write, the records a reader would find.

// Sets values of a key like the registry does, and lets the test look at the key after each
// write; write number failAt (from 0) is refused, throwAt throws.
class KeyWriter : public MenuListValueWriter {
public:
    KeyWriter(std::vector<Value>& key, std::function<void()> afterWrite)
        : m_key(key), m_afterWrite(std::move(afterWrite)) {}
    int failAt = -1;
    int throwAt = -1;
    int writes = 0;

    bool WriteDword(const char* name, uint32_t value) override {
        return Set({name, kRegTypeDword, Dword(value)});
    }
    bool WriteBinary(const char* name, const uint8_t* data, size_t size) override {
        return Set({name, kRegTypeBinary, Bytes(data, data + size)});
    }
    bool WriteText(const char* name, std::string_view text) override {
        return Set({name, kRegTypeSz, Text(std::string(text))});
    }

private:
    bool Set(Value value) {
        const int index = writes++;
        if (index == throwAt) {
            throw std::bad_alloc();
        }
        if (index == failAt) {
            return false;
        }
        Value* old = nullptr;
        for (Value& v : m_key) {
            old = Upper(v.name) == Upper(value.name) ? &v : old;
        }
        if (old) {
            *old = std::move(value);
        } else {
            m_key.push_back(std::move(value));
        }
        m_afterWrite();
        return true;
    }

    std::vector<Value>& m_key;
    std::function<void()> m_afterWrite;
};

// Record k of a generation: an item ID list and a name that say which list they belong to.
Bytes GenerationList(uint8_t generation, uint32_t k) {
    return {5, 0, generation, static_cast<uint8_t>(k), static_cast<uint8_t>(k >> 8), 0, 0};
}
std::string GenerationName(uint8_t generation, uint32_t k) {
    return std::string(1, static_cast<char>('a' + generation)) + std::to_string(k);
}
// The records of a list of count records of that generation.
struct Generation {
    Generation(uint8_t generation, uint32_t count) {
        for (uint32_t k = 1; k <= count; ++k) {
            lists.push_back(GenerationList(generation, k));
            names.push_back(GenerationName(generation, k));
        }
        for (uint32_t k = 0; k < count; ++k) {
            records.push_back({lists[k].data(), lists[k].size(), names[k]});
        }
    }
    std::vector<Bytes> lists;
    std::vector<std::string> names;
    std::vector<MenuRecordToSave> records;
};

constexpr uint8_t kEarlier = 0, kOld = 1, kNew = 2;

TEST(MenuListSave, WritesEveryRecordThenLengthLast) {
    const std::vector<MenuListWriteStep> steps = PlanMenuListWrites(2);
    ASSERT_EQ(steps.size(), 5u);
    const MenuListWriteStep expected[] = {{MenuListWriteKind::ItemIdList, 1},
                                          {MenuListWriteKind::DisplayName, 1},
                                          {MenuListWriteKind::ItemIdList, 2},
                                          {MenuListWriteKind::DisplayName, 2},
                                          {MenuListWriteKind::Length, 2}};
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(steps[i].kind, expected[i].kind) << i;
        EXPECT_EQ(steps[i].number, expected[i].number) << i;
    }
    const std::vector<MenuListWriteStep> empty = PlanMenuListWrites(0);
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].kind, MenuListWriteKind::Length);
    EXPECT_EQ(empty[0].number, 0u);
}

// A key that held an earlier list, then the old one over it, saved again with a new list:
// whenever a reader looks (after any write, also when a write fails or throws), it finds at
// least min(old, new) records, each record k being old record k or new record k (its list
// and its name each from one of the two), never a leftover of the earlier list.
TEST(MenuListSave, EveryMomentShowsNoFewerThanTheShorterListAndNoLeftovers) {
    struct Case {
        uint32_t earlier, old, now;
    } cases[] = {
        {0, 0, 3}, {6, 2, 5}, {0, 5, 2}, {7, 3, 3}, {0, 4, 0}, {5, 1, 4}, {3, 0, 0}, {9, 4, 8},
    };
    enum class Fault { None, Refused, Thrown };
    for (const Case& c : cases) {
        const size_t writes = PlanMenuListWrites(c.now).size();
        for (Fault fault : {Fault::None, Fault::Refused, Fault::Thrown}) {
            for (size_t at = 0; at < (fault == Fault::None ? 1 : writes); ++at) {
                SCOPED_TRACE(testing::Message()
                             << "earlier " << c.earlier << ", old " << c.old << ", new " << c.now
                             << ", fault " << static_cast<int>(fault) << " at " << at);
                std::vector<Value> key;
                KeyWriter setUp(key, [] {});
                ASSERT_TRUE(WriteMenuListValues(Generation(kEarlier, c.earlier).records, setUp));
                ASSERT_TRUE(WriteMenuListValues(Generation(kOld, c.old).records, setUp));
                ASSERT_EQ(Assemble(key).size(), c.old);

                const Generation now(kNew, c.now);
                auto look = [&] {
                    const std::vector<Record> seen = Assemble(key);
                    EXPECT_GE(seen.size(), std::min(c.old, c.now));
                    for (const Record& r : seen) {
                        const bool oldOne = r.number <= c.old;
                        const bool newOne = r.number <= c.now;
                        EXPECT_TRUE((oldOne && r.list == GenerationList(kOld, r.number)) ||
                                    (newOne && r.list == GenerationList(kNew, r.number)))
                            << r;
                        EXPECT_TRUE((oldOne && r.name == GenerationName(kOld, r.number)) ||
                                    (newOne && r.name == GenerationName(kNew, r.number)))
                            << r;
                    }
                };
                KeyWriter writer(key, look);
                if (fault == Fault::Refused) {
                    writer.failAt = static_cast<int>(at);
                } else if (fault == Fault::Thrown) {
                    writer.throwAt = static_cast<int>(at);
                }
                bool saved = false;
                if (fault == Fault::Thrown) {
                    EXPECT_THROW(WriteMenuListValues(now.records, writer), std::bad_alloc);
                } else {
                    saved = WriteMenuListValues(now.records, writer);
                }
                look();
                EXPECT_EQ(saved, fault == Fault::None);
                if (fault == Fault::None) {
                    std::vector<Record> expected;
                    for (uint32_t k = 1; k <= c.now; ++k) {
                        expected.push_back({k, GenerationList(kNew, k), GenerationName(kNew, k)});
                    }
                    EXPECT_EQ(Assemble(key), expected);
                } else {
                    // A save that did not finish leaves the old count.
                    EXPECT_EQ(ModelLength(key), c.old);
                }
            }
        }
    }
}

} // namespace
} // namespace corvina
