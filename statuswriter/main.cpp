#include "platform/process.h"

int ProgramMain() { return 0; }
