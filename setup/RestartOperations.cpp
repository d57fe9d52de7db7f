#include "setup/RestartOperations.h"
