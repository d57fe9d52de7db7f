#include "ServerRegistration.h"

#include "CorvinaIds.h"
#include "common/Registrar.h"
#include "resource.h"

const wchar_t kCorvinaLibDescription[] = L"Corvina 1.0 ﾀｲﾌﾟ ﾗｲﾌﾞﾗﾘ";

namespace {

ServerModuleRegistration CorvinaServer() {
    ServerModuleRegistration server{};
    server.scriptResourceId = IDR_CORVINAEXTENTION;
    server.classId = "{5A1C7E20-3B9D-4F62-8E41-0C7D2B9F6A13}";
    server.typeLibId = &LIBID_CorvinaLib;
    server.typeLibMajor = kCorvinaLibMajorVersion;
    server.typeLibMinor = kCorvinaLibMinorVersion;
    server.typeLibDescription = kCorvinaLibDescription;
    return server;
}

} // namespace

HRESULT RegisterCorvinaServer(HMODULE module) {
    return RegisterServerModule(module, CorvinaServer());
}

HRESULT UnregisterCorvinaServer(HMODULE module) {
    return UnregisterServerModule(module, CorvinaServer());
}
