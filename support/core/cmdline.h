// Splitting the process's command line into parameters.
#pragma once
#include <string>
#include <string_view>

// Token number `index` + 1 of the command line (token 0, the program's own
// path, is never returned); empty when there is no such token. Tokens are
// separated by spaces (byte 32 only); a token that starts with a double quote
// runs to the next double quote (or the end) and may hold spaces; any other
// token runs to the next space and keeps the quotes inside it.
std::string CommandLineParameter(std::string_view commandLine, int index);
