// The process-wide crash trap.
#pragma once
#include <cstdint>
#include <string_view>

using TrapTarget = void (*)();

int TrapInstall();
int TrapUninstall();
TrapTarget TrapSetTarget(TrapTarget target);
// What the last fault was; texts of the trap's own tables, nothing allocated.
std::string_view TrapErrorDescription();
std::string_view TrapErrorModule();
uint32_t TrapErrorLine();
// -1 before TrapInstall's breakpoint, then 1 when the platform reports a
// two-byte breakpoint on its operand byte, 0 when behind it.
int32_t TrapCalibration();
// Ends the running work as a fault with this code would: in the report
// once a target is set, before that by ending the process. For failures
// that raise no exception the trap could see.
[[noreturn]] void TrapFail(uint32_t code);
