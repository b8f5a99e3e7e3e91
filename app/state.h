// The application's process-wide record. Heaps and the text scratch area of
// the original design are the C++ runtime's business; the program folder is
// owned by support/program.h; the main loop's event, gadget and quit request
// and the command-line project are locals of their code.
#pragma once
#include <cstdint>

struct ApplicationState {
    int32_t language = 0;  // 0 German, 1 English
};

extern ApplicationState gApp;
