// A batch file deletes itself once the command interpreter has run it. Until
// then its slot is taken: the interpreter reads it by offset, a line at a
// time, and waits at a line that starts a windowed program until that ends,
// so a file rewritten meanwhile would run from the middle of its new text.
// When a deletion never comes (the interpreter was ended at log-off, or
// killed), the file stays behind; those are cleared before a slot runs short.
#include "projects/batch.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "crashtrap/core/marker.h"
#include "projects/core/folders.h"
#include "projects/core/start_text.h"
#include "support/core/text.h"
#include "support/files.h"
#include "support/unique.h"

namespace {

enum class Slot { kWritten, kTaken, kFailed };

// Writes the batch file at `path` when no file is there yet.
Slot WriteSlot(const std::string& path, std::string_view text) {
    MARK; UniqueFile file = CreateNewToWrite(path.c_str());
    MARK; if (!file) {
        // A folder of that name: no batch file can be written here. Anything
        // else is an earlier start's batch file (perhaps being deleted) or a
        // folder that refuses files, and the next slot tells which.
        MARK; DWORD attributes = GetFileAttributesA(path.c_str());
        MARK; bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        MARK; return folder ? Slot::kFailed : Slot::kTaken;
    }
    MARK; if (WriteAll(file.get(), text)) return Slot::kWritten;
    MARK; file.reset();
    MARK; DeleteFileA(path.c_str());
    MARK; return Slot::kFailed;
}

using Ticks = uint64_t;  // 100 ns since 1601, as a FILETIME counts
constexpr Ticks kSecond = 10'000'000;

Ticks TicksOf(const FILETIME& time) { return (Ticks(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

Ticks Now() {
    MARK; FILETIME now;
    MARK; GetSystemTimeAsFileTime(&now);
    MARK; return TicksOf(now);
}

// When each command interpreter running now was started. One whose start
// cannot be read counts as started now: it may be reading any file.
std::vector<Ticks> InterpreterStarts() {
    MARK; char comspec[MAX_PATH] = {};
    MARK; DWORD n = GetEnvironmentVariableA("ComSpec", comspec, sizeof comspec);
    MARK; const std::string interpreter(n > 0 && n < sizeof comspec ? FilePart(comspec) : "cmd.exe");
    MARK; std::vector<Ticks> starts;
    MARK; UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    MARK; PROCESSENTRY32 entry{};
    MARK; entry.dwSize = sizeof entry;
    MARK; if (!snapshot || !Process32First(snapshot.get(), &entry)) return {Now()};
    MARK; do {
        MARK; if (lstrcmpiA(entry.szExeFile, interpreter.c_str()) != 0) continue;
        MARK; UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        MARK; FILETIME created, exited, kernel, user;
        MARK; bool known = process && GetProcessTimes(process.get(), &created, &exited, &kernel, &user);
        MARK; starts.push_back(known ? TicksOf(created) : Now());
    } while (Process32Next(snapshot.get(), &entry));
    MARK; return starts;
}

struct Leftover {
    std::string path;
    Ticks written;
};

// The batch files in the slots.
std::vector<Leftover> BatchFiles() {
    MARK; std::vector<Leftover> files;
    MARK; WIN32_FIND_DATAA found;
    MARK; UniqueFind find(FindFirstFileA((std::string(kDataFolder) + "\\tmp*.bat").c_str(), &found));
    MARK; if (!find) return files;
    MARK; do {
        MARK; if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        MARK; const std::string path = std::string(kDataFolder) + '\\' + found.cFileName;
        MARK; for (unsigned slot = 0; slot < kBatchSlots; ++slot) {
            MARK; if (EqualAsciiNoCase(path, BatchFilePath(slot)))
                files.push_back({path, TicksOf(found.ftLastWriteTime)});
        }
    } while (FindNextFileA(find.get(), &found));
    MARK; return files;
}

// Deletes the batch files no command interpreter can still be reading: those
// written before the system last started, and those written after every
// interpreter running now had started (an interpreter is started after its
// file is written). Two seconds of slack cover file systems that keep times
// to two seconds.
void RemoveLeftovers(const std::vector<Leftover>& files) {
    MARK; const Ticks now = Now();
    MARK; const Ticks boot = now - Ticks(GetTickCount64()) * 10'000;
    MARK; const std::vector<Ticks> starts = InterpreterStarts();
    MARK; for (const Leftover& file : files) {
        MARK; const bool readable = file.written >= boot && std::any_of(starts.begin(), starts.end(), [&](Ticks start) {
            return start + 2 * kSecond >= file.written;
        });
        MARK; if (!readable) DeleteFileA(file.path.c_str());
    }
}

// The first free slot; `Slot::kTaken` when there is none.
Slot WriteFreeSlot(std::string_view text, std::string& path) {
    MARK; for (unsigned slot = 0; slot < kBatchSlots; ++slot) {
        MARK; path = BatchFilePath(slot);
        MARK; Slot result = WriteSlot(path, text);
        MARK; if (result != Slot::kTaken) return result;
    }
    MARK; return Slot::kTaken;
}

}  // namespace

std::string WriteBatchFile(std::string_view text) {
    MARK; std::string path = BatchFilePath(0);
    MARK; Slot result = WriteSlot(path, text);
    // Taken: by a start running now, or by what an earlier one left.
    MARK; if (result == Slot::kTaken) {
        MARK; RemoveLeftovers(BatchFiles());
        MARK; result = WriteFreeSlot(text, path);
    }
    MARK; if (result == Slot::kWritten) return path;
    MARK; if (result == Slot::kFailed) return {};
    // Every slot held by an interpreter that may still be reading it: the
    // oldest goes, rather than no start at all.
    MARK; const std::vector<Leftover> files = BatchFiles();
    MARK; auto oldest = std::min_element(files.begin(), files.end(), [](const Leftover& a, const Leftover& b) {
        return a.written < b.written;
    });
    MARK; if (oldest == files.end() || !DeleteFileA(oldest->path.c_str())) return {};
    MARK; return WriteSlot(oldest->path, text) == Slot::kWritten ? oldest->path : std::string();
}
