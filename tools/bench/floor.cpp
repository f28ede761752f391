// The I/O floor of the job: the least a program has to do for the same
// result on the same tree, with the same safety. It walks the tree once,
// copies every matching file to a temporary name renamed over path + ".bak",
// then reads each one whole, writes it to a temporary file beside it and
// replaces the file with that in one step.
//   vell_bench_floor ROOT [EXTENSIONS]
// Prints key=value lines: files, bytes, the phase times in seconds and the
// program's own peak working set (the cost of a bare Wine process).
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <string>
#include <vector>
#include "tools/bench/bench_core.h"

namespace {

void walk(const std::string& dir, const std::vector<std::string>& items, std::vector<std::string>& out) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> subdirs;
    do {
        std::string name = fd.cFileName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name != "." && name != "..") subdirs.push_back(dir + name + "\\");
        } else if (bench::matchesAny(name, items)) {
            out.push_back(dir + name);
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    for (const std::string& d : subdirs) walk(d, items, out);
}

bool readWhole(const std::string& path, std::vector<char>& buf) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(h, nullptr), got = 0;
    buf.resize(size);
    bool ok = size == 0 || (ReadFile(h, buf.data(), size, &got, nullptr) && got == size);
    CloseHandle(h);
    return ok;
}

bool writeWhole(const std::string& path, const std::vector<char>& buf) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    bool ok = buf.empty() || (WriteFile(h, buf.data(), (DWORD)buf.size(), &put, nullptr) && put == buf.size());
    CloseHandle(h);
    return ok;
}

// Puts the finished temporary file in the target's place in one step (a
// rename over it, as the job's replace ends); the target is never seen
// partly written.
bool replaceWith(const std::string& target, const std::string& temp) {
    if (MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileA(temp.c_str());
    return false;
}

const char kTempSuffix[] = ".~vellumor,tmp";  // the job's own temporary names

bool backup(const std::string& path) {
    std::string bak = path + ".bak", temp = bak + kTempSuffix;
    if (CopyFileA(path.c_str(), temp.c_str(), FALSE) &&
        MoveFileExA(temp.c_str(), bak.c_str(), MOVEFILE_REPLACE_EXISTING))
        return true;
    DeleteFileA(temp.c_str());
    return false;
}

bool rewrite(const std::string& path, std::vector<char>& buf) {
    if (!readWhole(path, buf)) return false;
    std::string temp = path + kTempSuffix;
    if (writeWhole(temp, buf)) return replaceWith(path, temp);
    DeleteFileA(temp.c_str());
    return false;
}

long long now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: vell_bench_floor ROOT [EXTENSIONS]\n");
        return 2;
    }
    std::string root = argv[1];
    if (root.empty() || root.back() != '\\') root += '\\';
    std::vector<std::string> items = bench::splitList(argc > 2 ? argv[2] : "yml,json,txt,lang,cfg,ini,log,conf,toml");
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);

    long long t0 = now();
    std::vector<std::string> files;
    walk(root, items, files);
    long long t1 = now();
    int copyFailures = 0;
    for (const std::string& p : files)
        if (!backup(p)) copyFailures++;
    long long t2 = now();
    int ioFailures = 0;
    unsigned long long bytes = 0;
    std::vector<char> buf;
    for (const std::string& p : files) {
        if (!rewrite(p, buf)) ioFailures++;
        bytes += buf.size();
    }
    long long t3 = now();

    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    printf("floor_files=%u\nfloor_bytes=%llu\n", (unsigned)files.size(), bytes);
    printf("floor_walk_s=%.3f\nfloor_backup_s=%.3f\nfloor_rewrite_s=%.3f\nfloor_total_s=%.3f\n",
           bench::seconds(t1 - t0, f.QuadPart), bench::seconds(t2 - t1, f.QuadPart),
           bench::seconds(t3 - t2, f.QuadPart), bench::seconds(t3 - t0, f.QuadPart));
    printf("floor_failures=%d\nfloor_peak_ws=%lu\n", copyFailures + ioFailures, (unsigned long)pmc.PeakWorkingSetSize);
    return copyFailures + ioFailures ? 1 : 0;
}
