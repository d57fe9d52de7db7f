// What Corvina.dll, the desktop context-menu extension, tells the framework's entry points.
#include "CCorvinaExtention.h"
#include "CorvinaIds.h"
#include "ServerRegistration.h"
#include "framework/InProcServer.h"

namespace {

const CClassEntry kClasses[] = {{&CLSID_CorvinaExtention, &CCorvinaExtention::Create}};

} // namespace

extern const CInProcServer kInProcServer = {kClasses, sizeof(kClasses) / sizeof(kClasses[0]),
                                            &RegisterCorvinaServer, &UnregisterCorvinaServer,
                                            nullptr};
