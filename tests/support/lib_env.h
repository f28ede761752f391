// The stand-in runtime of the command, dialog and find tests: hands the
// runtime's notification function to the library, builds argument
// records, and makes a scratch folder on disk that is removed afterwards.
#pragma once
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>
#include "commands/library.h"
#include "runtime/rt.h"

inline void connectLibrary() {
    if (!g_rt.heap) g_rt.heap = GetProcessHeap();
    vell_library1.notify(1, (uint32_t)(uintptr_t)&rt_Notify, 0);
}

inline ArgRecord textArg(const char* s) { return ArgRecord{(uint32_t)(uintptr_t)s, 0, TYPE_TEXT}; }
inline ArgRecord intArg(int32_t v) { return ArgRecord{(uint32_t)v, 0, TYPE_INT}; }
inline ArgRecord omitted() { return ArgRecord{0, 0, TYPE_NONE}; }
inline ArgRecord doubleArg(double d, uint32_t type = TYPE_DOUBLE) {
    uint64_t bits;
    memcpy(&bits, &d, 8);
    return ArgRecord{(uint32_t)bits, (uint32_t)(bits >> 32), type};
}
inline ArgRecord floatArg(float f) {
    uint32_t bits;
    memcpy(&bits, &f, 4);
    return ArgRecord{bits, 0, TYPE_FLOAT};
}

// Calls a first-library command the way the service slot does.
inline ArgRecord callCommand(int number, std::vector<ArgRecord> args) {
    ArgRecord r = {0xDEAD, 0xBEEF, 0xFFFF};
    vell_services.CallBaseCommand(&r, vell_library1.commands[number], (int32_t)args.size(),
                                  args.empty() ? nullptr : args.data());
    return r;
}

inline const char* textOf(const ArgRecord& r) { return (const char*)(uintptr_t)r.low; }
inline void* pointerOf(const ArgRecord& r) { return (void*)(uintptr_t)r.low; }

// Bytes of a byte set; empty for null.
inline std::string bytesOf(const void* byteSet) {
    if (!byteSet) return std::string();
    return std::string((const char*)rt_ByteSetData(byteSet), (size_t)rt_ByteSetLength(byteSet));
}

// A fresh folder under the temporary path, removed with its contents.
class ScratchDir {
public:
    ScratchDir() {
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        static int serial = 0;
        char name[MAX_PATH + 64];
        snprintf(name, sizeof name, "%svell_test_%lu_%lu_%d", base, (unsigned long)GetCurrentProcessId(),
                 (unsigned long)GetTickCount(), ++serial);
        path_ = name;
        CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~ScratchDir() { removeTree(path_); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    std::string at(const std::string& name) const { return path_ + "\\" + name; }

    std::string write(const std::string& name, const std::string& bytes) const {
        std::string p = at(name);
        HANDLE h = CreateFileA(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << p;
        DWORD n = 0;
        if (!bytes.empty()) WriteFile(h, bytes.data(), (DWORD)bytes.size(), &n, nullptr);
        CloseHandle(h);
        return p;
    }
    std::string mkdir(const std::string& name) const {
        std::string p = at(name);
        EXPECT_TRUE(CreateDirectoryA(p.c_str(), nullptr)) << p;
        return p;
    }

    static std::string read(const std::string& p) {
        std::string out;
        HANDLE h = CreateFileA(p.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return "<unreadable>";
        char buf[4096];
        DWORD n;
        while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n) out.append(buf, n);
        CloseHandle(h);
        return out;
    }

private:
    static void removeTree(const std::string& dir) {
        WIN32_FIND_DATAA e;
        HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &e);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                if (!strcmp(e.cFileName, ".") || !strcmp(e.cFileName, "..")) continue;
                std::string p = dir + "\\" + e.cFileName;
                SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (e.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) removeTree(p);
                else DeleteFileA(p.c_str());
            } while (FindNextFileA(h, &e));
            FindClose(h);
        }
        RemoveDirectoryA(dir.c_str());
    }
    std::string path_;
};
