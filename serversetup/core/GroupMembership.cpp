#include "serversetup/core/GroupMembership.h"

#include <cstring>

namespace corvina {

namespace {

constexpr size_t kSidHeaderBytes = 8; // revision, count, six bytes of authority

void AppendLittleEndian(std::vector<unsigned char>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<unsigned char>(value >> shift));
    }
}

} // namespace

std::vector<unsigned char> BuiltinAliasSid(uint32_t aliasRid) {
    std::vector<unsigned char> sid = {kSidRevision, 2, 0, 0, 0, 0, 0, kNtAuthority};
    AppendLittleEndian(sid, kBuiltinDomainRid);
    AppendLittleEndian(sid, aliasRid);
    return sid;
}

size_t SidLength(const unsigned char* sid, size_t availableBytes) {
    if (!sid || availableBytes < kSidHeaderBytes) {
        return 0;
    }
    if (sid[0] != kSidRevision || sid[1] > kMaxSubAuthorities) {
        return 0;
    }
    const size_t length = kSidHeaderBytes + 4u * sid[1];
    return length <= availableBytes ? length : 0;
}

bool HoldsEnabledBuiltinAlias(const std::vector<TokenGroupView>& groups, uint32_t aliasRid) {
    const std::vector<unsigned char> wanted = BuiltinAliasSid(aliasRid);
    for (const TokenGroupView& group : groups) {
        if ((group.attributes & kGroupUseForDenyOnly) != 0 ||
            (group.attributes & kGroupEnabled) == 0) {
            continue;
        }
        const size_t length = SidLength(group.sid, group.availableBytes);
        if (length == wanted.size() && std::memcmp(group.sid, wanted.data(), length) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace corvina
