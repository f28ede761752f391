// Class objects kept per class name while the thread's apartment lives:
// without them every new object costs a dozen registry lookups, which
// under Wine are each a round trip to its server.
#include "automation/automation.h"
#include <objbase.h>

namespace {

struct Entry {
    char name[64];
    IClassFactory* factory;  // locked, so that its server stays loaded
};

const int kEntries = 8;
Entry s_entries[kEntries];
int s_count;
DWORD s_thread;  // the apartment the entries belong to
bool s_watching;

void releaseAll() {
    for (int i = 0; i < s_count; i++) {
        s_entries[i].factory->LockServer(FALSE);
        s_entries[i].factory->Release();
    }
    s_count = 0;
}

// Told of the apartment's end: its class objects go with it.
struct ApartmentWatch : IInitializeSpy {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = (iid == IID_IUnknown || iid == IID_IInitializeSpy) ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE PreInitialize(DWORD, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostInitialize(HRESULT hr, DWORD, DWORD) override { return hr; }
    HRESULT STDMETHODCALLTYPE PreUninitialize(DWORD refs) override {
        if (refs <= 1 && GetCurrentThreadId() == s_thread) releaseAll();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PostUninitialize(DWORD) override { return S_OK; }
};
ApartmentWatch s_watch;

// Whether objects made on this thread may be kept: one apartment only,
// and only once its end will be told.
bool mayKeep() {
    APTTYPE type;
    APTTYPEQUALIFIER qualifier;
    if (FAILED(CoGetApartmentType(&type, &qualifier))) return false;
    if (!s_watching) {
        ULARGE_INTEGER cookie;
        if (FAILED(CoRegisterInitializeSpy(&s_watch, &cookie))) return false;
        s_watching = true;
        s_thread = GetCurrentThreadId();
    }
    return s_thread == GetCurrentThreadId();
}

IClassFactory* classObject(const CLSID& clsid) {
    const DWORD all = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
    IClassFactory* factory = nullptr;
    HRESULT hr = CoGetClassObject(clsid, all, nullptr, IID_IClassFactory, (void**)&factory);
    if (hr == E_INVALIDARG)
        hr = CoGetClassObject(clsid, all & ~CLSCTX_REMOTE_SERVER, nullptr, IID_IClassFactory, (void**)&factory);
    return SUCCEEDED(hr) ? factory : nullptr;
}

}  // namespace

// A new object of the class named by a program identifier or a "{...}"
// class id.
HRESULT auto_CreateNamed(const char* cls, IUnknown** out) {
    *out = nullptr;
    bool keep = lstrlenA(cls) < (int)sizeof s_entries[0].name && mayKeep();
    for (int i = 0; keep && i < s_count; i++)
        if (lstrcmpiA(s_entries[i].name, cls) == 0)
            return s_entries[i].factory->CreateInstance(nullptr, IID_IUnknown, (void**)out);
    CLSID clsid;
    BSTR wcls = auto_TextToBstr(cls);
    if (!wcls) return E_OUTOFMEMORY;
    HRESULT hr = cls[0] == '{' ? CLSIDFromString(wcls, &clsid) : CLSIDFromProgID(wcls, &clsid);
    SysFreeString(wcls);
    if (FAILED(hr)) return hr;
    IClassFactory* factory = classObject(clsid);
    if (!factory) {
        // Some classes are only made whole: the platform's own way.
        const DWORD all = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
        hr = CoCreateInstance(clsid, nullptr, all, IID_IUnknown, (void**)out);
        if (hr == E_INVALIDARG) hr = CoCreateInstance(clsid, nullptr, all & ~CLSCTX_REMOTE_SERVER, IID_IUnknown, (void**)out);
        return hr;
    }
    hr = factory->CreateInstance(nullptr, IID_IUnknown, (void**)out);
    if (keep && s_count < kEntries && SUCCEEDED(factory->LockServer(TRUE))) {
        lstrcpyA(s_entries[s_count].name, cls);
        s_entries[s_count++].factory = factory;
    } else {
        factory->Release();
    }
    return hr;
}
