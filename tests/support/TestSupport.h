// Everything the Windows tests share, in one include.
#pragma once

#include "AllocatorSpy.h"
#include "Canvas.h"
#include "GdiCount.h"
#include "RegistryFixture.h"
#include "ScratchFolder.h"
#include "Text.h"
#include "Wait.h"
