#include "setup/CProgressBar.h"
