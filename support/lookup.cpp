#include "support/lookup.h"

#include <memory>

#include "support/core/text.h"
#include "support/unique.h"
#include "support/wait.h"

namespace {

// The lookups of one drive or share, shared by the caller and the thread
// that makes them: whichever lets go last frees it, so a caller that gave up
// never waits for a thread stuck in a lookup.
struct Lookup {
    volatile LONG owners = 2;
    std::string root;
    std::vector<std::string> paths;
    std::vector<size_t> positions;  // of `paths` in the caller's list
    std::unique_ptr<volatile LONG[]> states;

    void Release() {
        if (InterlockedDecrement(&owners) == 0) delete this;
    }
};

bool IsFile(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

DWORD WINAPI LookUp(void* parameter) {
    auto* lookup = static_cast<Lookup*>(parameter);
    // A drive without its medium answers as missing, without the system's
    // prompt to insert one.
    DWORD errorMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS, &errorMode);
    // A root that is not there (no such drive, a share that refused) has
    // none of the files: no lookup of each.
    const bool rootThere = lookup->root.empty() || GetFileAttributesA(lookup->root.c_str()) != INVALID_FILE_ATTRIBUTES;
    for (size_t i = 0; i < lookup->paths.size(); ++i) {
        const FileState state = rootThere && IsFile(lookup->paths[i]) ? FileState::kThere : FileState::kMissing;
        InterlockedExchange(&lookup->states[i], LONG(state));
    }
    SetThreadErrorMode(errorMode, nullptr);
    lookup->Release();
    return 0;
}

// A local disk answers at once: its files are looked up on the caller's
// thread, which spares a thread's start (a start's largest cost under Wine).
// For a drive letter the system answers the type from the process's device
// map, without asking the drive. Shares, network, removable and optical
// drives (a disc spinning up) get a thread of their own.
bool AnswersAtOnce(const std::string& root) {
    if (root.size() != 3 || root[1] != ':') return false;
    const UINT type = GetDriveTypeA(root.c_str());
    return type == DRIVE_FIXED || type == DRIVE_RAMDISK;
}

}  // namespace

std::vector<FileState> LookUpFiles(const std::vector<std::string>& paths, DWORD deadlineMs) {
    std::vector<Lookup*> lookups;
    for (size_t i = 0; i < paths.size(); ++i) {
        const std::string root = PathRoot(paths[i]);
        Lookup* lookup = nullptr;
        for (Lookup* l : lookups)
            if (EqualAsciiNoCase(l->root, root)) lookup = l;
        if (!lookup) {
            lookups.push_back(new Lookup);
            lookup = lookups.back();
            lookup->root = root;
        }
        lookup->paths.push_back(paths[i]);
        lookup->positions.push_back(i);
    }
    std::vector<UniqueHandle> threads;
    std::vector<HANDLE> running;
    for (Lookup* lookup : lookups) {
        lookup->states.reset(new volatile LONG[lookup->paths.size()]());
        UniqueHandle thread;
        if (!AnswersAtOnce(lookup->root)) thread.reset(CreateThread(nullptr, 0, LookUp, lookup, 0, nullptr));
        if (!thread) {
            // A local disk, or no thread: looked up here, without the deadline.
            LookUp(lookup);
            continue;
        }
        running.push_back(thread.get());
        threads.push_back(std::move(thread));
    }
    KeepAnswering().WaitAll(running, deadlineMs);
    std::vector<FileState> states(paths.size(), FileState::kUnknown);
    for (Lookup* lookup : lookups) {
        for (size_t i = 0; i < lookup->paths.size(); ++i)
            states[lookup->positions[i]] = FileState(InterlockedCompareExchange(&lookup->states[i], 0, 0));
        lookup->Release();
    }
    return states;
}
