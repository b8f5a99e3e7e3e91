// The statement marker: the application's code records the module and line of
// each statement before running it, so a fault can be reported at the
// statement that was running. Bits 24-31 hold the module number (see
// ModuleNameTable), bits 0-23 the line. Only app/ and projects/ write it;
// the crash trap copies it at a fault.
#pragma once
#include <cstdint>

#include "crashtrap/core/module_names.h"

extern "C" volatile uint32_t StatementMarker;

#define MARK (StatementMarker = (ModuleNumber(__FILE__) << 24) | uint32_t(__LINE__))
