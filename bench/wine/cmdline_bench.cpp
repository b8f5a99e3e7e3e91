// Wall time of a project shortcut's start (tarnwick.exe <project>, up to its
// exit) against two floors measured alternately in the same run: a program
// that only writes the same batch file and hands it to the shell, and one
// that exits at once.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {
std::string Dir(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

double RunMs(const std::string& exe, const std::string& args, const std::string& cwd) {
    std::string line = "\"" + exe + "\" " + args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si, &pi))
        return -1;
    WaitForSingleObject(pi.hProcess, INFINITE);
    QueryPerformanceCounter(&b);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    // Let the hidden command interpreter finish before the next run.
    std::string bat = cwd + "Data\\tmp.bat";
    for (int i = 0; i < 500 && GetFileAttributesA(bat.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(10);
    Sleep(50);
    return double(b.QuadPart - a.QuadPart) * 1000.0 / double(f.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: cmdline_bench <tarnwick.exe> <work folder> [runs]\n");
        return 2;
    }
    std::string self(MAX_PATH, '\0');
    self.resize(GetModuleFileNameA(nullptr, self.data(), MAX_PATH));
    const std::string benchDir = Dir(self);
    const std::string work = std::string(argv[2]) + "\\";
    const int runs = argc > 3 ? std::atoi(argv[3]) : 15;
    CreateDirectoryA(work.c_str(), nullptr);
    CreateDirectoryA((work + "Data").c_str(), nullptr);
    const std::string program = work + "tarnwick.exe";
    CopyFileA(argv[1], program.c_str(), FALSE);
    const std::string editor = benchDir + "floor_exit.exe";

    // One project among 100, its line the same the floor program writes.
    std::string file;
    for (int i = 0; i < 100; ++i) file += "Other " + std::to_string(i) + "\xBF" + editor + " \"C:\\x.pb\" \r\n";
    file += "Bench\xBF" + editor + " \"C:\\src\\main.pb\" \"C:\\src\\inc.pbi\" \r\n";
    HANDLE f = CreateFileA((work + "Data\\Projects.twp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, file.data(), DWORD(file.size()), &written, nullptr);
    CloseHandle(f);
    const std::string batch = "\"" + editor + "\" \"C:\\src\\main.pb\" \"C:\\src\\inc.pbi\" \r\ndel Data\\tmp.bat";
    SetEnvironmentVariableA("TW_BENCH_BATCH", batch.c_str());

    std::vector<double> program_, batchFloor, exitFloor;
    RunMs(program, "Bench", work);  // warm the caches once
    for (int i = 0; i < runs; ++i) {
        program_.push_back(RunMs(program, "Bench", work));
        batchFloor.push_back(RunMs(benchDir + "floor_batch.exe", "", work));
        exitFloor.push_back(RunMs(benchDir + "floor_exit.exe", "", work));
    }
    double p = Median(program_), b = Median(batchFloor), e = Median(exitFloor);
    std::printf("command-line start, %d alternating runs, medians:\n", runs);
    std::printf("  tarnwick.exe Bench             %7.1f ms\n", p);
    std::printf("  batch-and-shell floor          %7.1f ms\n", b);
    std::printf("  exit-at-once floor             %7.1f ms\n", e);
    std::printf("  ratio to batch floor %.2f (goal <= 1.10), to exit floor %.2f\n", p / b, p / e);
    return 0;
}
