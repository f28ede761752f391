// Foreign commands: functions exported by ordinary DLLs and named in the
// program image. Each is resolved on its first call, its entry point cached,
// and its library kept loaded until shutdown.
#include "runtime/rt.h"
#include <string.h>
#include <string>

static const char* const kDefaultLibraries[] = {
    "Kernel32.dll", "Gdi32.dll", "User32.dll", "Advapi32.dll", "Mpr.dll", "Shell32.dll",
};

// "#n" names the export with ordinal n AND 0xFFFF; anything else is a name.
static LPCSTR exportKey(const char* name) {
    if (!name) return "";
    if (name[0] != '#') return name;
    uint32_t n = 0;
    for (const char* p = name + 1; *p >= '0' && *p <= '9'; p++) n = n * 10 + (uint32_t)(*p - '0');
    return MAKEINTRESOURCEA(n & 0xFFFFu);
}

// Loads a + b when the joined path fits; a too long path is simply not tried.
static HMODULE loadJoined(const char* a, const char* b) {
    char path[2 * MAX_PATH + 2];
    size_t la = strlen(a), lb = strlen(b);
    if (la + lb >= sizeof path) return nullptr;
    memcpy(path, a, la);
    memcpy(path + la, b, lb + 1);
    return LoadLibraryA(path);
}

static HMODULE loadBySearchOrder(const char* library) {
    HMODULE h = nullptr;
    if (g_rt.userSearchDirectory[0]) h = loadJoined(g_rt.userSearchDirectory, library);
    // An unknown program directory would make "\name" the drive root.
    if (!h && g_rt.programDirectory[0]) {
        std::string dir = std::string(g_rt.programDirectory) + "\\";
        h = loadJoined(dir.c_str(), library);
    }
    if (!h && g_rt.programDirectorySlash[0]) h = loadJoined(g_rt.programDirectorySlash, library);
    if (!h) h = LoadLibraryA(library);
    return h;
}

VELL_NORETURN static void exportNotFound(const char* library, const char* name) {
    std::string msg;
    if (library && *library) {
        msg = "无法找到指定DLL库文件“";
        msg += library;
        msg += "”中的输出命令“";
    } else {
        msg = "无法找到指定DLL库文件中的输出命令“";
    }
    msg += name ? name : "";
    msg += "”";
    rt_FatalReport(msg.c_str(), 0, 0, 0);
}

void* rt_ResolveForeignCommand(uint32_t number) {
    if (g_rt.overrideModule) {
        HMODULE module = g_rt.overrideModule;
        char name[sizeof g_rt.overrideName];
        const char* stored = number < g_rt.foreignCount ? g_rt.foreignNames[number] : nullptr;
        lstrcpynA(name, g_rt.overrideName[0] ? g_rt.overrideName : (stored ? stored : ""), sizeof name);
        g_rt.overrideModule = nullptr;
        g_rt.overrideName[0] = 0;
        void* entry = (void*)GetProcAddress(module, exportKey(name));
        if (!entry) exportNotFound(nullptr, name);
        return entry;
    }
    if (number >= g_rt.foreignCount || !g_rt.foreignEntries) {
        char text[16];
        wsprintfA(text, "%u", number);
        exportNotFound(nullptr, text);
    }
    if (g_rt.foreignEntries[number]) return g_rt.foreignEntries[number];

    const char* library = g_rt.foreignLibraries[number] ? g_rt.foreignLibraries[number] : "";
    const char* name = g_rt.foreignNames[number] ? g_rt.foreignNames[number] : "";
    LPCSTR key = exportKey(name);
    HMODULE module = nullptr;
    void* entry = nullptr;
    if (library[0]) {
        module = strchr(library, ':') ? LoadLibraryA(library) : loadBySearchOrder(library);
        if (module) entry = (void*)GetProcAddress(module, key);
    } else {
        for (const char* candidate : kDefaultLibraries) {
            HMODULE h = LoadLibraryA(candidate);
            if (!h) continue;
            void* e = (void*)GetProcAddress(h, key);
            if (e) {
                module = h;
                entry = e;
                break;
            }
            FreeLibrary(h);
        }
    }
    if (!entry) {
        if (module) FreeLibrary(module);
        exportNotFound(library, name);
    }
    g_rt.foreignModules[number] = module;
    g_rt.foreignEntries[number] = entry;
    return entry;
}

// Each resolution loaded its library once, so each stored handle is
// released once.
void rt_ReleaseForeignModules(void) {
    HANDLE heap = g_rt.heap ? g_rt.heap : GetProcessHeap();
    for (uint32_t i = 0; i < g_rt.foreignCount; i++) {
        if (g_rt.foreignModules && g_rt.foreignModules[i]) FreeLibrary(g_rt.foreignModules[i]);
    }
    if (g_rt.foreignLibraries) HeapFree(heap, 0, (void*)g_rt.foreignLibraries);
    if (g_rt.foreignNames) HeapFree(heap, 0, (void*)g_rt.foreignNames);
    if (g_rt.foreignModules) HeapFree(heap, 0, g_rt.foreignModules);
    if (g_rt.foreignEntries) HeapFree(heap, 0, g_rt.foreignEntries);
    g_rt.foreignLibraries = nullptr;
    g_rt.foreignNames = nullptr;
    g_rt.foreignModules = nullptr;
    g_rt.foreignEntries = nullptr;
    g_rt.foreignCount = 0;
    g_rt.overrideModule = nullptr;
    g_rt.overrideName[0] = 0;
    g_rt.userSearchDirectory[0] = 0;
}

// Called by the slot-1 trampoline with the command number it took off the
// stack.
extern "C" void* vell_ResolveForeignEntry(uint32_t number) { return rt_ResolveForeignCommand(number); }
