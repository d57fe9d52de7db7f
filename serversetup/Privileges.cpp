#include "serversetup/Privileges.h"

#include "framework/Handles.h"
#include "framework/SystemVersion.h"
#include "serversetup/core/GroupMembership.h"

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

namespace {

BOOL ProcessHasEnabledBuiltinAlias(DWORD aliasRid) {
    if (!IsNtPlatform()) {
        return TRUE;
    }
    CHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) {
        return FALSE;
    }
    return TokenHasEnabledBuiltinAlias(token, aliasRid);
}

} // namespace

BOOL IsNtPlatform() {
    return IsNtFamilySystem() ? TRUE : FALSE;
}

BOOL TokenHasEnabledBuiltinAlias(HANDLE token, DWORD aliasRid) {
    DWORD size = 0;
    if (GetTokenInformation(token, TokenGroups, nullptr, 0, &size) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER || size < sizeof(TOKEN_GROUPS)) {
        return FALSE;
    }
    // operator new aligns for any type, as TOKEN_GROUPS with its pointers needs.
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[size]);
    if (!buffer || !GetTokenInformation(token, TokenGroups, buffer.get(), size, &size)) {
        return FALSE;
    }
    const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.get());
    const size_t arrayOffset = offsetof(TOKEN_GROUPS, Groups);
    if (groups->GroupCount > (size - arrayOffset) / sizeof(SID_AND_ATTRIBUTES)) {
        return FALSE;
    }

    const unsigned char* begin = buffer.get();
    const unsigned char* end = begin + size;
    std::vector<corvina::TokenGroupView> views;
    try {
        views.reserve(groups->GroupCount);
        for (DWORD i = 0; i < groups->GroupCount; ++i) {
            const auto* sid = static_cast<const unsigned char*>(groups->Groups[i].Sid);
            size_t available = 0;
            if (sid >= begin && sid < end) {
                available = static_cast<size_t>(end - sid);
            } else if (sid && IsValidSid(groups->Groups[i].Sid)) {
                // Not packed behind the array; trust the system's own length.
                available = GetLengthSid(groups->Groups[i].Sid);
            }
            views.push_back({sid, available, groups->Groups[i].Attributes});
        }
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    return corvina::HoldsEnabledBuiltinAlias(views, aliasRid) ? TRUE : FALSE;
}

BOOL IsAdministrator() {
    return ProcessHasEnabledBuiltinAlias(corvina::kAdministratorsAliasRid);
}

BOOL IsPowerUser() {
    return ProcessHasEnabledBuiltinAlias(corvina::kPowerUsersAliasRid);
}
