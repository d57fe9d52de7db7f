#include "RegistrationTestSupport.h"

#include "serversetup/Privileges.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class CSid {
public:
    explicit CSid(DWORD aliasRid) {
        SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
        AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, aliasRid, 0, 0, 0, 0, 0, 0,
                                 &m_sid);
    }
    CSid(const CSid&) = delete;
    CSid& operator=(const CSid&) = delete;
    ~CSid() {
        if (m_sid) {
            FreeSid(m_sid);
        }
    }
    PSID Get() const { return m_sid; }

private:
    PSID m_sid = nullptr;
};

HANDLE OpenOwnToken(DWORD access) {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), access, &token);
    return token;
}

// The attributes the token carries for a group, or -1 when it does not hold it.
long long GroupAttributes(HANDLE token, PSID sid) {
    DWORD size = 0;
    GetTokenInformation(token, TokenGroups, nullptr, 0, &size);
    std::vector<BYTE> buffer(size ? size : 1);
    if (!GetTokenInformation(token, TokenGroups, buffer.data(), size, &size)) {
        return -1;
    }
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
    for (DWORD i = 0; i < groups->GroupCount; ++i) {
        if (EqualSid(groups->Groups[i].Sid, sid)) {
            return groups->Groups[i].Attributes;
        }
    }
    return -1;
}

// An independent reader of the same question: the system's own membership check.
bool SystemSaysMember(PSID sid) {
    BOOL member = FALSE;
    return CheckTokenMembership(nullptr, sid, &member) && member;
}

TEST(Privileges, WineIsAnNtPlatform) {
    EXPECT_EQ(IsNtPlatform(), TRUE);
}

TEST(Privileges, MembershipAgreesWithTheSystem) {
    const struct {
        const char* name;
        DWORD rid;
        BOOL (*ask)();
    } cases[] = {
        {"Administrators", DOMAIN_ALIAS_RID_ADMINS, IsAdministrator},
        {"Power Users", DOMAIN_ALIAS_RID_POWER_USERS, IsPowerUser},
    };
    HANDLE token = OpenOwnToken(TOKEN_QUERY);
    ASSERT_NE(token, nullptr);
    for (const auto& c : cases) {
        CSid sid(c.rid);
        ASSERT_NE(sid.Get(), nullptr);
        const long long attributes = GroupAttributes(token, sid.Get());
        const bool answer = c.ask() != FALSE;
        // Recorded for the report: what this Wine's token holds.
        std::printf("%s: attributes %lld, answer %d\n", c.name, attributes, answer ? 1 : 0);
        EXPECT_EQ(answer, SystemSaysMember(sid.Get())) << c.name;
        EXPECT_EQ(answer, attributes >= 0 && (attributes & SE_GROUP_ENABLED) != 0 &&
                              (attributes & SE_GROUP_USE_FOR_DENY_ONLY) == 0)
            << c.name;
        EXPECT_EQ(TokenHasEnabledBuiltinAlias(token, c.rid), c.ask()) << c.name;
    }
    CloseHandle(token);
}

TEST(Privileges, DisabledAdministratorsGroupDoesNotCount) {
    HANDLE token = OpenOwnToken(TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY);
    ASSERT_NE(token, nullptr);
    CSid admins(DOMAIN_ALIAS_RID_ADMINS);
    if (GroupAttributes(token, admins.Get()) < 0) {
        CloseHandle(token);
        GTEST_SKIP() << "this token holds no Administrators group to disable";
    }
    SID_AND_ATTRIBUTES disable = {admins.Get(), 0};
    HANDLE restricted = nullptr;
    const BOOL made =
        CreateRestrictedToken(token, 0, 1, &disable, 0, nullptr, 0, nullptr, &restricted);
    CloseHandle(token);
    if (!made) {
        GTEST_SKIP() << "CreateRestrictedToken failed: " << GetLastError();
    }
    const long long attributes = GroupAttributes(restricted, admins.Get());
    std::printf("Administrators in the restricted token: attributes %lld\n", attributes);
    if (attributes < 0 || (attributes & SE_GROUP_USE_FOR_DENY_ONLY) == 0) {
        CloseHandle(restricted);
        GTEST_SKIP() << "the system did not mark the group deny-only";
    }
    EXPECT_EQ(TokenHasEnabledBuiltinAlias(restricted, DOMAIN_ALIAS_RID_ADMINS), FALSE);
    CloseHandle(restricted);
}

TEST(Privileges, UnreadableTokensCountAsNoMember) {
    EXPECT_EQ(TokenHasEnabledBuiltinAlias(nullptr, DOMAIN_ALIAS_RID_ADMINS), FALSE);
    EXPECT_EQ(TokenHasEnabledBuiltinAlias(INVALID_HANDLE_VALUE, DOMAIN_ALIAS_RID_ADMINS), FALSE);
    // A handle of another kind: an event is no token.
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(TokenHasEnabledBuiltinAlias(event, DOMAIN_ALIAS_RID_ADMINS), FALSE);
    CloseHandle(event);
}

} // namespace
