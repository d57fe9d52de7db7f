#include "ServerRegistration.h"

#include "CorvinaIds.h"
#include "common/Registrar.h"
#include "resource.h"

const wchar_t kCorvinaLibDescription[] = L"Corvina 1.0 ﾀｲﾌﾟ ﾗｲﾌﾞﾗﾘ";

namespace {

const ServerModuleRegistration kCorvinaServer = {
    IDR_CORVINAEXTENTION,    "{5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}",
    &LIBID_CorvinaLib,       kCorvinaLibMajorVersion,
    kCorvinaLibMinorVersion, kCorvinaLibDescription,
};

} // namespace

HRESULT RegisterCorvinaServer(HMODULE module) {
    return RegisterServerModule(module, kCorvinaServer);
}

HRESULT UnregisterCorvinaServer(HMODULE module) {
    return UnregisterServerModule(module, kCorvinaServer);
}
