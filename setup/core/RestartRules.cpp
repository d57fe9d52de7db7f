#include "setup/core/RestartRules.h"
