// The process-wide crash trap.
#pragma once
#include <cstdint>
#include <string>

using TrapTarget = void (*)();

int TrapInstall();
int TrapUninstall();
TrapTarget TrapSetTarget(TrapTarget target);
std::string TrapErrorDescription();
std::string TrapErrorModule();
uint32_t TrapErrorLine();
uint32_t TrapErrorModuleNumber();
// -1 before TrapInstall's breakpoint, then 1 when the platform reports a
// two-byte breakpoint on its operand byte, 0 when behind it.
int32_t TrapCalibration();
