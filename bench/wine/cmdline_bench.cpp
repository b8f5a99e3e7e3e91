// Wall time of a project shortcut's start (tarnwick.exe <project>, up to its
// exit) against two floors measured in turn in the same run: a program
// that only writes the same batch file and hands it to the shell, and one
// that exits at once. Once for a project of two files and once for one of a
// hundred (all there: the start looks for each), optionally also against
// another build of the program (today's, say).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/wine/bench_util.h"

namespace {
using namespace bench;

double RunMs(const std::string& exe, const std::string& args, const std::string& cwd) {
    std::string line = "\"" + exe + "\" " + args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const double start = NowMs();
    if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si, &pi))
        return -1;
    WaitForSingleObject(pi.hProcess, INFINITE);
    const double ms = NowMs() - start;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    // Let the hidden command interpreter finish before the next run.
    std::string bat = cwd + "Data\\tmp.bat";
    for (int i = 0; i < 500 && GetFileAttributesA(bat.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(10);
    Sleep(50);
    return ms;
}

// A project's files, made in `src`, and the line of its batch file.
struct Project {
    std::vector<std::string> files;
    std::string batch;
};

Project MakeProject(const std::string& editor, const std::string& src, const std::vector<std::string>& names) {
    Project p;
    p.batch = "\"" + editor + "\" ";
    for (const std::string& n : names) {
        p.files.push_back(src + n);
        WriteFileBytes(p.files.back(), "; source\r\n");
        p.batch += "\"" + p.files.back() + "\" ";
    }
    p.batch += "\r\ndel \"%~f0\"";
    return p;
}

std::string Line(const std::string& name, const std::string& editor, const Project& p) {
    std::string line = name + "\xBF" + editor + " ";
    for (const std::string& f : p.files) line += "\"" + f + "\" ";
    return line + "\r\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: cmdline_bench <tarnwick.exe> <work folder> [runs] [another tarnwick.exe]\n");
        return 2;
    }
    const std::string benchDir = SelfDir();
    const std::string work = std::string(argv[2]) + "\\";
    const int runs = argc > 3 ? std::atoi(argv[3]) : 15;
    CreateDirectoryA(work.c_str(), nullptr);
    CreateDirectoryA((work + "Data").c_str(), nullptr);
    CreateDirectoryA((work + "src").c_str(), nullptr);
    const std::string program = work + "tarnwick.exe";
    CopyFileA(argv[1], program.c_str(), FALSE);
    // Another build of the program, in the same folder so that it reads the same list.
    const std::string other = argc > 4 ? work + "tarnwick-other.exe" : "";
    if (!other.empty()) CopyFileA(argv[4], other.c_str(), FALSE);
    const std::string editor = benchDir + "floor_exit.exe";

    // Two projects among 100, with their files there: the one with two
    // files and the one with a hundred.
    const Project two = MakeProject(editor, work + "src\\", {"main.pb", "inc.pbi"});
    std::vector<std::string> names;
    for (int i = 0; i < 100; ++i) names.push_back("file" + std::to_string(1000 + i).substr(1) + ".pb");
    const Project hundred = MakeProject(editor, work + "src\\", names);
    std::string file;
    for (int i = 0; i < 100; ++i) file += "Other " + std::to_string(i) + "\xBF" + editor + " \"C:\\x.pb\" \r\n";
    file += Line("Bench", editor, two) + Line("Bench100", editor, hundred);
    WriteFileBytes(work + "Data\\Projects.twp", file);

    // Each run of the loop measures every command once, starting one further
    // along each time: whatever the one before leaves behind (its command
    // interpreter ending, the server's caches) falls on each command alike.
    struct Command {
        std::string exe, args, batch;
        std::vector<double> ms;
    };
    enum { kTwo, kBatchTwo, kExit, kHundred, kBatchHundred, kOther };
    std::vector<Command> commands = {
        {program, "Bench", "", {}},
        {benchDir + "floor_batch.exe", "", two.batch, {}},
        {benchDir + "floor_exit.exe", "", "", {}},
        {program, "Bench100", "", {}},
        {benchDir + "floor_batch.exe", "", hundred.batch, {}},
    };
    if (!other.empty()) commands.push_back({other, "Bench100", "", {}});
    RunMs(program, "Bench", work);  // warm the caches once
    for (int i = 0; i < runs; ++i) {
        for (size_t k = 0; k < commands.size(); ++k) {
            Command& c = commands[(size_t(i) + k) % commands.size()];
            SetEnvironmentVariableA("TW_BENCH_BATCH", c.batch.c_str());
            c.ms.push_back(RunMs(c.exe, c.args, work));
        }
    }
    auto median = [&](int which) { return Median(commands[size_t(which)].ms); };
    const double p = median(kTwo), b = median(kBatchTwo), e = median(kExit);
    const double p100 = median(kHundred), b100 = median(kBatchHundred);
    std::printf("command-line start, %d runs in rotating order, medians:\n", runs);
    std::printf("  tarnwick.exe Bench (2 files)   %7.1f ms\n", p);
    std::printf("  batch-and-shell floor          %7.1f ms\n", b);
    std::printf("  exit-at-once floor             %7.1f ms\n", e);
    std::printf("  ratio to batch floor %.2f (goal <= 1.10), to exit floor %.2f\n", p / b, p / e);
    std::printf("  tarnwick.exe Bench100 (100 files there) %7.1f ms\n", p100);
    std::printf("  batch-and-shell floor, 100 files        %7.1f ms\n", b100);
    std::printf("  ratio to its batch floor %.2f\n", p100 / b100);
    if (!other.empty()) {
        const double o100 = median(kOther);
        std::printf("  %s Bench100 %7.1f ms; ratio of tarnwick.exe to it %.3f (goal <= 1.05)\n", argv[4], o100,
                    p100 / o100);
    }
    return 0;
}
