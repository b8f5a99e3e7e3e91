// Placeholders until the crash trap lands. This file goes away with it.
#include "crashtrap/trap.h"

int TrapInstall() { return 0; }
int TrapUninstall() { return 0; }
TrapTarget TrapSetTarget(TrapTarget target) { return target; }
std::string TrapErrorDescription() { return "No Error"; }
std::string TrapErrorModule() { return "Main Module"; }
uint32_t TrapErrorLine() { return 0; }
uint32_t TrapErrorModuleNumber() { return 0; }
