// Looking files up where a lookup can hang: on a disconnected mapped drive or
// an unreachable \\server\share each lookup waits out the network's time-out
// (tens of seconds a call on Windows). The lookups run on threads of their
// own, one per drive or share (a local disk's on the caller's thread), which
// first asks for the root itself; the
// caller waits for them at most `deadlineMs`, its window answering meanwhile,
// and gives up on a drive or share that has not answered by then.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

enum class FileState : LONG {
    kUnknown,  // its drive or share did not answer in time
    kThere,    // a file (not a folder) is there
    kMissing,
};

// The state of each of `paths`, in their order.
std::vector<FileState> LookUpFiles(const std::vector<std::string>& paths, DWORD deadlineMs);
