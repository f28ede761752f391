// What an in-process automation server of this project needs besides its
// object: the module's type library, a class factory, object counting and
// the machine-wide class registration (the only one Wine reads).
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <olectl.h>
#include <stdio.h>

namespace com_server {

extern HMODULE g_module;
extern LONG g_objects;
extern LONG g_locks;

// The type information of `iid` from the type library embedded in this DLL
// (one reference for the caller), or null.
ITypeInfo* TypeInfoOf(REFIID iid);

// Registers `clsid` as an in-process server of this DLL under ProgID
// `progId`, machine-wide. Refuses outside Wine: on Windows the system's own
// component of that ProgID must keep serving.
HRESULT Register(REFCLSID clsid, const char* progId, const char* description);
HRESULT Unregister(REFCLSID clsid, const char* progId);

typedef HRESULT (*Creator)(REFIID iid, void** out);

// A class factory for one creator; lives in static storage.
struct Factory : IClassFactory {
    Creator create;
    explicit Factory(Creator c) : create(c) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return create(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) InterlockedIncrement(&g_locks); else InterlockedDecrement(&g_locks);
        return S_OK;
    }
};

}  // namespace com_server
