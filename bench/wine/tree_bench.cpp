// Opening a large folder in the explorer tree: time from the expand request
// to the filled node, against a bare program doing the same enumeration
// (the folder once for its subfolders and once per pattern, plus one look
// into each subfolder) with no tree. Figures for 500 and 5,000 files.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/wine/bench_util.h"
#include "explorer/tree.h"
#include "support/gadgets.h"
#include "support/window.h"

namespace {
using namespace bench;

constexpr int kSubfolders = 500;
const char* const kPatterns[] = {"*.pbi", "*.pb"};

void Touch(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
}

// files-N: N matching files (.pb and .pbi alternately), N/10 others, and
// 500 subfolders holding a.pb, b.pbi and c.txt each.
std::string MakeFolder(const std::string& work, int files) {
    std::string folder = work + "files-" + std::to_string(files) + "\\";
    if (GetFileAttributesA((folder + "done").c_str()) != INVALID_FILE_ATTRIBUTES) return folder;
    CreateDirectoryA(folder.c_str(), nullptr);
    for (int i = 0; i < files; ++i) Touch(folder + "file" + std::to_string(i) + (i % 2 ? ".pb" : ".pbi"));
    for (int i = 0; i < files / 10; ++i) Touch(folder + "other" + std::to_string(i) + ".txt");
    for (int i = 0; i < kSubfolders; ++i) {
        std::string sub = folder + "sub" + std::to_string(i) + "\\";
        CreateDirectoryA(sub.c_str(), nullptr);
        for (const char* name : {"a.pb", "b.pbi", "c.txt"}) Touch(sub + name);
    }
    Touch(folder + "done");
    return folder;
}

bool IsDots(const char* n) { return n[0] == '.' && (!n[1] || (n[1] == '.' && !n[2])); }

// What any lister of this folder has to do, kept in memory instead of a tree.
size_t BareEnumeration(const std::string& folder) {
    std::vector<std::string> names;
    std::vector<bool> hasSub;
    WIN32_FIND_DATAA d;
    HANDLE h = FindFirstFileA((folder + "*.*").c_str(), &d);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (IsDots(d.cFileName) || !(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
            names.emplace_back(d.cFileName);
            bool sub = false;
            WIN32_FIND_DATAA s;
            HANDLE g = FindFirstFileA((folder + d.cFileName + "\\*.*").c_str(), &s);
            if (g != INVALID_HANDLE_VALUE) {
                do sub = !IsDots(s.cFileName) && (s.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
                while (!sub && FindNextFileA(g, &s));
                FindClose(g);
            }
            hasSub.push_back(sub);
        } while (FindNextFileA(h, &d));
        FindClose(h);
    }
    for (const char* pattern : kPatterns) {
        h = FindFirstFileA((folder + pattern).c_str(), &d);
        if (h == INVALID_HANDLE_VALUE) continue;
        do
            if (!(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(d.cFileName);
        while (FindNextFileA(h, &d));
        FindClose(h);
    }
    return names.size();
}

HTREEITEM ChildNamed(HWND tree, HTREEITEM parent, const std::string& name) {
    for (HTREEITEM c = TreeView_GetChild(tree, parent); c; c = TreeView_GetNextSibling(tree, c)) {
        char text[512] = {};
        TVITEMA it{};
        it.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_PARAM;
        it.hItem = c;
        it.pszText = text;
        it.cchTextMax = sizeof text;
        TreeView_GetItem(tree, &it);
        // Drives are found by their number (their text is the shell's name).
        if ((it.lParam & 0xFF) < 32 ? std::string(1, char('A' + (it.lParam & 0xFF))) + ":" == name : name == text)
            return c;
    }
    return nullptr;
}

// A fresh tree in `window`, opened down to the parent of `folder`; the time
// of opening `folder` itself, and its number of children.
double TreeOpen(HWND window, const std::string& folder, size_t* children) {
    GadgetListUse(window);
    HWND tree = CreateExplorerTree(0, 0, 0, 400, 600, "*.pbi;*.pb", ExplorerTree_AlwaysShowSelection);
    HTREEITEM item = TreeView_GetRoot(tree);
    std::string rest = folder.substr(0, folder.size() - 1);
    HTREEITEM target = nullptr;
    for (size_t start = 0; item;) {
        size_t end = rest.find('\\', start);
        std::string part = rest.substr(start, end == std::string::npos ? std::string::npos : end - start);
        item = ChildNamed(tree, item, part);
        if (end == std::string::npos) {
            target = item;
            break;
        }
        TreeView_Expand(tree, item, TVE_EXPAND);
        start = end + 1;
    }
    if (!target) return -1;
    const double start = NowMs();
    TreeView_Expand(tree, target, TVE_EXPAND);
    const double ms = NowMs() - start;
    *children = 0;
    for (HTREEITEM c = TreeView_GetChild(tree, target); c; c = TreeView_GetNextSibling(tree, c)) ++*children;
    return ms;
}


}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: tree_bench <work folder> [runs]\n");
        return 2;
    }
    std::string work = std::string(argv[1]) + "\\";
    int runs = argc > 2 ? std::atoi(argv[2]) : 7;
    CreateDirectoryA(work.c_str(), nullptr);
    GadgetLayerInit();
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "TreeBenchHost";
    RegisterClassA(&cls);
    HWND window = CreateWindowExA(0, cls.lpszClassName, "bench", WS_POPUP | WS_VISIBLE, 0, 0, 420, 620, nullptr,
                                  nullptr, cls.hInstance, nullptr);

    std::printf("opening a folder with N matching files, N/10 others and %d subfolders; %d alternating runs, medians:\n",
                kSubfolders, runs);
    for (int files : {500, 5000}) {
        std::string folder = MakeFolder(work, files);
        size_t children = 0, bareCount = BareEnumeration(folder);
        std::vector<double> tree, bare;
        TreeOpen(window, folder, &children);  // warm the caches once
        for (int i = 0; i < runs; ++i) {
            tree.push_back(TreeOpen(window, folder, &children));
            const double start = NowMs();
            bareCount = BareEnumeration(folder);
            bare.push_back(NowMs() - start);
        }
        double t = Median(tree), e = Median(bare);
        std::printf("  N = %5d: tree %8.1f ms (%zu items), bare enumeration %8.1f ms (%zu names), ratio %.2f (goal <= 1.5)\n",
                    files, t, children, e, bareCount, t / e);
    }
    DestroyWindow(window);
    return 0;
}
