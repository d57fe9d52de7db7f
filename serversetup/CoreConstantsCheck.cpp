// The group-membership rules (serversetup/core/) read security identifiers and token group
// attributes as raw bytes, with their own copies of the system's values. This file only
// compiles if every copy still matches.
#include <windows.h>
#include <ocidl.h>

#include "serversetup/core/BrowserWindowRules.h"
#include "serversetup/core/GroupMembership.h"

namespace {
constexpr SID_IDENTIFIER_AUTHORITY kSystemNtAuthority = SECURITY_NT_AUTHORITY;
} // namespace

static_assert(corvina::kAdministratorsAliasRid == DOMAIN_ALIAS_RID_ADMINS,
              "kAdministratorsAliasRid");
static_assert(corvina::kPowerUsersAliasRid == DOMAIN_ALIAS_RID_POWER_USERS, "kPowerUsersAliasRid");
static_assert(corvina::kGroupEnabled == SE_GROUP_ENABLED, "kGroupEnabled");
static_assert(corvina::kGroupUseForDenyOnly == SE_GROUP_USE_FOR_DENY_ONLY, "kGroupUseForDenyOnly");
static_assert(corvina::kSidRevision == SID_REVISION, "kSidRevision");
static_assert(corvina::kMaxSubAuthorities == SID_MAX_SUB_AUTHORITIES, "kMaxSubAuthorities");
static_assert(corvina::kBuiltinDomainRid == SECURITY_BUILTIN_DOMAIN_RID, "kBuiltinDomainRid");
static_assert(kSystemNtAuthority.Value[0] == 0 && kSystemNtAuthority.Value[4] == 0 &&
                  kSystemNtAuthority.Value[5] == corvina::kNtAuthority,
              "kNtAuthority");

static_assert(corvina::kReadyStateLoading == READYSTATE_LOADING, "kReadyStateLoading");
static_assert(corvina::kReadyStateComplete == READYSTATE_COMPLETE, "kReadyStateComplete");
