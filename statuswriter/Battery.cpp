// Placeholder until the Battery module lands.
#include "statuswriter/Battery.h"
