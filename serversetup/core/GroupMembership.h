// Whether a process token's groups make its user a member of a built-in local group
// (Administrators, Power Users). Works on the raw bytes of the security identifiers, so that
// the decision can be checked without a real token.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvina {

// Relative identifiers of the built-in aliases (S-1-5-32-<rid>).
constexpr uint32_t kAdministratorsAliasRid = 544;
constexpr uint32_t kPowerUsersAliasRid = 547;

// The parts of a security identifier's binary form (SID_REVISION, SID_MAX_SUB_AUTHORITIES,
// the last byte of SECURITY_NT_AUTHORITY, SECURITY_BUILTIN_DOMAIN_RID).
constexpr unsigned char kSidRevision = 1;
constexpr unsigned char kMaxSubAuthorities = 15;
constexpr unsigned char kNtAuthority = 5;
constexpr uint32_t kBuiltinDomainRid = 32;

// Group attribute bits as the token reports them.
constexpr uint32_t kGroupEnabled = 0x00000004;
constexpr uint32_t kGroupUseForDenyOnly = 0x00000010;

// One group of a token: where its identifier starts, how many bytes are readable from there
// (the identifier's own length may be smaller), and its attributes.
struct TokenGroupView {
    const unsigned char* sid;
    size_t availableBytes;
    uint32_t attributes;
};

// The binary form of S-1-5-32-<aliasRid>: revision 1, two sub-authorities, authority
// SECURITY_NT_AUTHORITY, sub-authorities 32 and aliasRid (little-endian).
std::vector<unsigned char> BuiltinAliasSid(uint32_t aliasRid);

// Length in bytes of a well-formed identifier starting at sid (revision 1, at most 15
// sub-authorities, all of it inside availableBytes); 0 when it is malformed or cut short.
size_t SidLength(const unsigned char* sid, size_t availableBytes);

// True when one of the groups is exactly S-1-5-32-<aliasRid> and is enabled. A group marked
// for deny only never grants membership, even if the enabled bit is also set. Malformed
// identifiers are skipped.
bool HoldsEnabledBuiltinAlias(const std::vector<TokenGroupView>& groups, uint32_t aliasRid);

} // namespace corvina
