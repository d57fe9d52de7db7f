#include "setup/FileRules.h"
