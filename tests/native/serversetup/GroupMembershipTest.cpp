#include "serversetup/core/GroupMembership.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using corvina::BuiltinAliasSid;
using corvina::HoldsEnabledBuiltinAlias;
using corvina::kAdministratorsAliasRid;
using corvina::kGroupEnabled;
using corvina::kGroupUseForDenyOnly;
using corvina::kPowerUsersAliasRid;
using corvina::SidLength;
using corvina::TokenGroupView;

namespace {

using Sid = std::vector<unsigned char>;

// Attribute sets as real tokens carry them.
constexpr uint32_t kMandatory = 0x1;
constexpr uint32_t kEnabledByDefault = 0x2;
constexpr uint32_t kOwner = 0x8;
constexpr uint32_t kNormal = kMandatory | kEnabledByDefault | kGroupEnabled;

Sid MakeSid(std::vector<unsigned char> authority, std::vector<uint32_t> subAuthorities,
            unsigned char revision = 1) {
    Sid sid = {revision, static_cast<unsigned char>(subAuthorities.size())};
    sid.insert(sid.end(), authority.begin(), authority.end());
    for (uint32_t value : subAuthorities) {
        for (int shift = 0; shift < 32; shift += 8) {
            sid.push_back(static_cast<unsigned char>(value >> shift));
        }
    }
    return sid;
}

const Sid kNt = {0, 0, 0, 0, 0, 5};
const Sid kWorld = {0, 0, 0, 0, 0, 1};

struct Group {
    Sid sid;
    uint32_t attributes;
    size_t cutTo = static_cast<size_t>(-1); // readable bytes, when fewer than the SID's
};

bool Decide(const std::vector<Group>& groups, uint32_t rid) {
    std::vector<TokenGroupView> views;
    for (const Group& g : groups) {
        views.push_back(
            {g.sid.data(), g.cutTo < g.sid.size() ? g.cutTo : g.sid.size(), g.attributes});
    }
    return HoldsEnabledBuiltinAlias(views, rid);
}

TEST(GroupMembership, BuiltinAliasIdentifierBytes) {
    EXPECT_EQ(BuiltinAliasSid(kAdministratorsAliasRid),
              (Sid{1, 2, 0, 0, 0, 0, 0, 5, 0x20, 0, 0, 0, 0x20, 0x02, 0, 0}));
    EXPECT_EQ(BuiltinAliasSid(kPowerUsersAliasRid),
              (Sid{1, 2, 0, 0, 0, 0, 0, 5, 0x20, 0, 0, 0, 0x23, 0x02, 0, 0}));
}

TEST(GroupMembership, DecisionTable) {
    const Sid admins = MakeSid(kNt, {32, 544});
    const Sid powerUsers = MakeSid(kNt, {32, 547});
    const Sid users = MakeSid(kNt, {32, 545});
    const Sid everyone = MakeSid(kWorld, {0});
    const Sid userSid = MakeSid(kNt, {21, 1111, 2222, 3333, 1001});
    // Same sub-authorities under the wrong authority, and a longer identifier that starts
    // like the administrators one.
    const Sid worldAdmins = MakeSid(kWorld, {32, 544});
    const Sid adminsPlus = MakeSid(kNt, {32, 544, 1});
    const Sid domainAdmins = MakeSid(kNt, {21, 1111, 2222, 3333, 544});

    struct Case {
        const char* name;
        std::vector<Group> groups;
        bool administrator;
        bool powerUser;
    };
    const Case cases[] = {
        {"empty list", {}, false, false},
        {"administrators enabled",
         {{everyone, kNormal}, {admins, kNormal}, {users, kNormal}},
         true,
         false},
        {"administrators as owner", {{admins, kNormal | kOwner}}, true, false},
        {"administrators deny-only",
         {{admins, kGroupUseForDenyOnly}, {users, kNormal}},
         false,
         false},
        {"deny-only wins over enabled bit",
         {{admins, kGroupUseForDenyOnly | kNormal}},
         false,
         false},
        {"administrators present but not enabled",
         {{admins, kMandatory | kEnabledByDefault}},
         false,
         false},
        {"administrators absent",
         {{everyone, kNormal}, {users, kNormal}, {userSid, kNormal}},
         false,
         false},
        {"power users enabled", {{users, kNormal}, {powerUsers, kNormal}}, false, true},
        {"power users deny-only", {{powerUsers, kGroupUseForDenyOnly}}, false, false},
        {"both enabled", {{powerUsers, kNormal}, {admins, kNormal}}, true, true},
        {"wrong authority", {{worldAdmins, kNormal}}, false, false},
        {"longer identifier", {{adminsPlus, kNormal}}, false, false},
        {"domain group with the same last rid", {{domainAdmins, kNormal}}, false, false},
        {"deny-only copy before an enabled one",
         {{admins, kGroupUseForDenyOnly}, {admins, kNormal}},
         true,
         false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Decide(c.groups, kAdministratorsAliasRid), c.administrator) << c.name;
        EXPECT_EQ(Decide(c.groups, kPowerUsersAliasRid), c.powerUser) << c.name;
    }
}

TEST(GroupMembership, MalformedIdentifiersAreSkipped) {
    const Sid admins = MakeSid(kNt, {32, 544});
    Sid badRevision = admins;
    badRevision[0] = 2;
    Sid tooManySubAuthorities = admins;
    tooManySubAuthorities[1] = 16;
    Sid countBeyondBytes = admins;
    countBeyondBytes[1] = 3; // claims 20 bytes, 16 readable

    struct Case {
        const char* name;
        Group group;
    };
    const Case cases[] = {
        {"revision 2", {badRevision, kNormal}},
        {"16 sub-authorities", {tooManySubAuthorities, kNormal}},
        {"count beyond readable bytes", {countBeyondBytes, kNormal}},
        {"cut inside the header", {admins, kNormal, 5}},
        {"cut inside the last sub-authority", {admins, kNormal, 15}},
        {"nothing readable", {admins, kNormal, 0}},
    };
    for (const Case& c : cases) {
        // A malformed entry never matches, and does not hide a good one behind it.
        EXPECT_FALSE(Decide({c.group}, kAdministratorsAliasRid)) << c.name;
        EXPECT_TRUE(Decide({c.group, {admins, kNormal}}, kAdministratorsAliasRid)) << c.name;
    }

    const std::vector<TokenGroupView> nullSid = {{nullptr, 16, kNormal}};
    EXPECT_FALSE(HoldsEnabledBuiltinAlias(nullSid, kAdministratorsAliasRid));
}

TEST(GroupMembership, SidLengthReadsOnlyWhatIsAvailable) {
    const Sid admins = MakeSid(kNt, {32, 544});
    const Sid fifteen = MakeSid(kNt, std::vector<uint32_t>(15, 7));
    const Sid none = MakeSid(kNt, {});
    struct Case {
        const Sid* sid;
        size_t available;
        size_t expected;
    };
    const Case cases[] = {
        {&admins, 16, 16},  {&admins, 100, 16}, {&admins, 15, 0}, {&admins, 7, 0},
        {&fifteen, 68, 68}, {&fifteen, 67, 0},  {&none, 8, 8},
    };
    for (const Case& c : cases) {
        // A larger buffer than the identifier is fine: the rest belongs to other groups.
        Sid padded = *c.sid;
        padded.resize(std::max(padded.size(), c.available), 0xCC);
        EXPECT_EQ(SidLength(padded.data(), c.available), c.expected)
            << c.sid->size() << " bytes, " << c.available << " readable";
    }
    EXPECT_EQ(SidLength(nullptr, 16), 0u);
}

} // namespace
