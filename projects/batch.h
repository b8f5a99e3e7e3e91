// The batch files a start writes into Data for the shell to run.
#pragma once
#include <string>
#include <string_view>

// Writes `text` as a new batch file in the first free slot (start_text.h)
// and returns its path; empty when none can be written (Data missing or
// write-protected, a folder in a slot's place).
std::string WriteBatchFile(std::string_view text);
