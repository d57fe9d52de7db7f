// What CorvinaBar.dll, the Explorer toolbar band, tells the framework's entry points.
#include "band/BandIds.h"
#include "band/BandRegistration.h"
#include "band/CorvBar.h"
#include "framework/InProcServer.h"

namespace {

const CClassEntry kClasses[] = {{&CLSID_CorvBar, &CorvBar::Create}};

} // namespace

// At FreeLibrary the band lets go of the type information its objects cache.
extern const CInProcServer kInProcServer = {kClasses, sizeof(kClasses) / sizeof(kClasses[0]),
                                            &RegisterBandServer, &UnregisterBandServer,
                                            &TerminateBandServer};
