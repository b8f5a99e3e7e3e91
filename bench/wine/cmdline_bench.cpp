// Wall time of a project shortcut's start (tarnwick.exe <project>, up to its
// exit) against two floors measured alternately in the same run: a program
// that only writes the same batch file and hands it to the shell, and one
// that exits at once. Once for a project of two files and once for one of a
// hundred (all there: the start looks for each), optionally also against
// another build of the program (today's, say).
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

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(f, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(f);
    return written == bytes.size();
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
    p.batch += "\r\ndel Data\\tmp.bat";
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
    std::string self(MAX_PATH, '\0');
    self.resize(GetModuleFileNameA(nullptr, self.data(), MAX_PATH));
    const std::string benchDir = Dir(self);
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

    std::vector<double> program_, batchFloor, exitFloor, program100, batchFloor100, other100;
    RunMs(program, "Bench", work);  // warm the caches once
    for (int i = 0; i < runs; ++i) {
        program_.push_back(RunMs(program, "Bench", work));
        SetEnvironmentVariableA("TW_BENCH_BATCH", two.batch.c_str());
        batchFloor.push_back(RunMs(benchDir + "floor_batch.exe", "", work));
        exitFloor.push_back(RunMs(benchDir + "floor_exit.exe", "", work));
        program100.push_back(RunMs(program, "Bench100", work));
        SetEnvironmentVariableA("TW_BENCH_BATCH", hundred.batch.c_str());
        batchFloor100.push_back(RunMs(benchDir + "floor_batch.exe", "", work));
        if (!other.empty()) other100.push_back(RunMs(other, "Bench100", work));
    }
    double p = Median(program_), b = Median(batchFloor), e = Median(exitFloor);
    double p100 = Median(program100), b100 = Median(batchFloor100);
    std::printf("command-line start, %d alternating runs, medians:\n", runs);
    std::printf("  tarnwick.exe Bench (2 files)   %7.1f ms\n", p);
    std::printf("  batch-and-shell floor          %7.1f ms\n", b);
    std::printf("  exit-at-once floor             %7.1f ms\n", e);
    std::printf("  ratio to batch floor %.2f (goal <= 1.10), to exit floor %.2f\n", p / b, p / e);
    std::printf("  tarnwick.exe Bench100 (100 files there) %7.1f ms\n", p100);
    std::printf("  batch-and-shell floor, 100 files        %7.1f ms\n", b100);
    std::printf("  ratio to its batch floor %.2f\n", p100 / b100);
    if (!other.empty()) {
        double o100 = Median(other100);
        std::printf("  %s Bench100 %7.1f ms; ratio of tarnwick.exe to it %.3f (goal <= 1.05)\n", argv[4], o100,
                    p100 / o100);
    }
    return 0;
}
