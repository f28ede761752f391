#include "platform/stream/com_server.h"
#include <string.h>

namespace com_server {

HMODULE g_module;
LONG g_objects;
LONG g_locks;

ITypeInfo* TypeInfoOf(REFIID iid) {
    WCHAR path[MAX_PATH];
    if (!GetModuleFileNameW(g_module, path, MAX_PATH)) return nullptr;
    ITypeLib* lib = nullptr;
    if (FAILED(LoadTypeLibEx(path, REGKIND_NONE, &lib)) || !lib) return nullptr;
    ITypeInfo* info = nullptr;
    if (FAILED(lib->GetTypeInfoOfGuid(iid, &info))) info = nullptr;
    lib->Release();
    return info;
}

static bool underWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

static bool setValue(HKEY root, const char* sub, const char* name, const char* value) {
    HKEY key;
    if (RegCreateKeyExA(root, sub, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) return false;
    LONG r = RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)value, (DWORD)strlen(value) + 1);
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

static void clsidText(REFCLSID clsid, char* out, int cap) {
    WCHAR w[64];
    StringFromGUID2(clsid, w, 64);
    WideCharToMultiByte(CP_ACP, 0, w, -1, out, cap, nullptr, nullptr);
}

HRESULT Register(REFCLSID clsid, const char* progId, const char* description) {
    if (!underWine()) return SELFREG_E_CLASS;
    char path[MAX_PATH], id[64], key[256];
    if (!GetModuleFileNameA(g_module, path, MAX_PATH)) return SELFREG_E_CLASS;
    clsidText(clsid, id, sizeof id);
    const char* base = "Software\\Classes";
    bool ok = true;
    snprintf(key, sizeof key, "%s\\CLSID\\%s", base, id);
    ok &= setValue(HKEY_LOCAL_MACHINE, key, nullptr, description);
    snprintf(key, sizeof key, "%s\\CLSID\\%s\\InprocServer32", base, id);
    ok &= setValue(HKEY_LOCAL_MACHINE, key, nullptr, path);
    ok &= setValue(HKEY_LOCAL_MACHINE, key, "ThreadingModel", "Both");
    snprintf(key, sizeof key, "%s\\CLSID\\%s\\ProgID", base, id);
    ok &= setValue(HKEY_LOCAL_MACHINE, key, nullptr, progId);
    snprintf(key, sizeof key, "%s\\%s", base, progId);
    ok &= setValue(HKEY_LOCAL_MACHINE, key, nullptr, description);
    snprintf(key, sizeof key, "%s\\%s\\CLSID", base, progId);
    ok &= setValue(HKEY_LOCAL_MACHINE, key, nullptr, id);
    return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT Unregister(REFCLSID clsid, const char* progId) {
    char id[64], key[256];
    clsidText(clsid, id, sizeof id);
    snprintf(key, sizeof key, "Software\\Classes\\CLSID\\%s", id);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
    // The ProgID is left to whoever owns it now only when it names us.
    snprintf(key, sizeof key, "Software\\Classes\\%s\\CLSID", progId);
    char current[64] = {0};
    LONG size = sizeof current;
    if (RegQueryValueA(HKEY_LOCAL_MACHINE, key, current, &size) == ERROR_SUCCESS && lstrcmpiA(current, id) == 0) {
        snprintf(key, sizeof key, "Software\\Classes\\%s", progId);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
    }
    return S_OK;
}

}  // namespace com_server
