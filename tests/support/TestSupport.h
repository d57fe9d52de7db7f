// Everything the Windows tests share, in one include.
#pragma once

#include "Aggregation.h"
#include "AllocatorSpy.h"
#include "Canvas.h"
#include "DataObjects.h"
#include "Dialogs.h"
#include "GdiCount.h"
#include "MenuListWriter.h"
#include "RegQuery.h"
#include "RegistryFixture.h"
#include "ScratchFolder.h"
#include "SettingsProgram.h"
#include "TestPalette.h"
#include "Text.h"
#include "Wait.h"
