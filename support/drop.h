// Files dropped from the shell (Explorer's drag and drop) onto gadgets.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A dropped file or folder. Its path is in the ANSI code page; a character
// the code page lacks is a '?' there, never a look-alike (ExactBytes), so
// such a path names no file.
struct DroppedFile {
    std::string path;
    bool folder = false;
};

// Makes the gadget's control take files dropped on it from the shell, from
// the moment the event loop has drawn the window. Each drop is reported as
// EvGadget for the gadget with the subtype kSubtypeDrop, and its files wait
// in TakeDroppedFiles. Nothing is taken while the gadget's window is
// disabled (a dialog is open). False for no gadget.
bool GadAcceptFileDrops(int32_t gadget);

// The files of the last drop, in the order of the drop; handed out once.
std::vector<DroppedFile> TakeDroppedFiles();
