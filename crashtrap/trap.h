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
