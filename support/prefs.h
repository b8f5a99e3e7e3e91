// Preference files (INI-like): one file in use at a time, read whole or written line by line.
#pragma once
#include <cstdint>
#include <string>

bool PrefOpenRead(const std::string& fileName);
bool PrefCreate(const std::string& fileName);
int PrefSelectGroup(const std::string& group);
int32_t PrefReadNumber(const std::string& key, int32_t defaultValue);
void PrefWriteNumber(const std::string& key, int32_t value);
void PrefWriteText(const std::string& key, const std::string& value);
void PrefClose();
