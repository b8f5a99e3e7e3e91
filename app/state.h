// The application's process-wide record. Heaps and the text scratch area of
// the original design are the C++ runtime's business; the program folder is
// owned by support/program.h.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

struct ApplicationState {
    HINSTANCE instance = nullptr;
    int32_t currentEvent = 0;
    int32_t currentGadget = 0;
    int32_t language = 0;            // 0 German, 1 English
    std::string commandLineProject;  // first parameter, trimmed and lower-cased
    uint32_t quitRequested = 0;
};

extern ApplicationState gApp;
