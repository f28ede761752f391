// The recorder object: Invoke notes the argument array as it arrives, then
// hands the call to the type information.
#include "platform/stream/com_server.h"
#include "tests/automation/recorder_log.h"
#include "vell_recorder.h"
#include <new>
#include <string.h>

static RecorderLog g_log;

extern "C" RecorderLog* WINAPI RecorderLogOf(void) { return &g_log; }

namespace {

void note(const VARIANT* v, RecordedArg* out) {
    memset(out, 0, sizeof *out);
    out->vt = V_VT(v);
    switch (V_VT(v)) {
    case VT_I4: out->i4 = V_I4(v); break;
    case VT_BOOL: out->i4 = V_BOOL(v); break;
    case VT_I2: out->i4 = V_I2(v); break;
    case VT_UI1: out->i4 = V_UI1(v); break;
    case VT_UI4: out->i4 = (LONG)V_UI4(v); break;
    case VT_ERROR: out->i4 = V_ERROR(v); break;
    case VT_R8: out->r8 = V_R8(v); break;
    case VT_R4: out->r8 = V_R4(v); break;
    case VT_DATE: out->r8 = V_DATE(v); break;
    case VT_BSTR:
        out->bstrNull = V_BSTR(v) == nullptr;
        if (V_BSTR(v)) lstrcpynW(out->text, V_BSTR(v), 64);
        break;
    case VT_UNKNOWN: out->pointer = V_UNKNOWN(v); break;
    case VT_DISPATCH: out->pointer = V_DISPATCH(v); break;
    default:
        if (V_VT(v) & VT_BYREF) out->pointer = V_BYREF(v);
        break;
    }
}

struct Recorder final : IRecorder {
    LONG refs = 1;
    ITypeInfo* info = nullptr;
    ~Recorder() { if (info) info->Release(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IRecorder) {
            *out = static_cast<IRecorder*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return (ULONG)InterlockedIncrement(&refs); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG r = InterlockedDecrement(&refs);
        if (r == 0) {
            delete this;
            InterlockedDecrement(&com_server::g_objects);
        }
        return (ULONG)r;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { *n = 1; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
        *out = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        info->AddRef();
        *out = info;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        return DispGetIDsOfNames(info, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* excep, UINT* argErr) override {
        g_log.calls++;
        g_log.member = id;
        g_log.flags = flags;
        g_log.argCount = params ? params->cArgs : 0;
        g_log.namedCount = params ? params->cNamedArgs : 0;
        g_log.named0 = params && params->cNamedArgs ? params->rgdispidNamedArgs[0] : 0;
        for (UINT i = 0; params && i < params->cArgs && i < 8; i++) note(&params->rgvarg[i], &g_log.args[i]);
        return DispInvoke(static_cast<IRecorder*>(this), info, id, flags, params, result, excep, argErr);
    }

    HRESULT STDMETHODCALLTYPE TakeBool(VARIANT_BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TakeLong(LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TakeText(BSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TakeVariant(VARIANT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TakeDispatch(IDispatch*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TakeUnknown(IUnknown*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TakeTwo(LONG, LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TakeMany(LONG, SAFEARRAY*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TakeOptional(VARIANT, VARIANT, VARIANT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE get_Value(LONG* v) override { *v = g_log.value; return S_OK; }
    HRESULT STDMETHODCALLTYPE put_Value(LONG v) override { g_log.value = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE OutLong(LONG* v) override { *v = 42; return S_OK; }
    HRESULT STDMETHODCALLTYPE InOutText(BSTR* v) override {
        WCHAR buf[80] = L"was:";
        if (*v) lstrcpynW(buf + 4, *v, 70);
        SysFreeString(*v);
        *v = SysAllocString(buf);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InOutLong(LONG* v) override { *v *= 2; return S_OK; }
    HRESULT STDMETHODCALLTYPE Fail() override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE GetTrue(VARIANT_BOOL* v) override { *v = VARIANT_TRUE; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetText(BSTR* v) override {
        *v = SysAllocString(L"\x4E2D\x6587");  // "中文"
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSelf(IDispatch** v) override {
        AddRef();
        *v = static_cast<IRecorder*>(this);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE TakeEnum(RecColour) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TakeAlias(RecName) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TakeSmall(BYTE, SHORT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TakeReal(DOUBLE, FLOAT, DATE) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TakeMachine(INT, UINT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TakeVariantRef(VARIANT* v) override {
        VariantClear(v);
        V_VT(v) = VT_I4;
        V_I4(v) = 77;
        return S_OK;
    }
};

HRESULT createRecorder(REFIID iid, void** out) {
    ITypeInfo* info = com_server::TypeInfoOf(IID_IRecorder);
    if (!info) return TYPE_E_CANTLOADLIBRARY;
    Recorder* r = new (std::nothrow) Recorder;
    if (!r) {
        info->Release();
        return E_OUTOFMEMORY;
    }
    r->info = info;
    InterlockedIncrement(&com_server::g_objects);
    HRESULT hr = r->QueryInterface(iid, out);
    r->Release();
    return hr;
}

com_server::Factory g_factory(createRecorder);

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) com_server::g_module = instance;
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    *out = nullptr;
    if (clsid != CLSID_Recorder) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}
extern "C" HRESULT WINAPI DllCanUnloadNow(void) { return com_server::g_objects == 0 ? S_OK : S_FALSE; }
extern "C" HRESULT WINAPI DllRegisterServer(void) {
    return com_server::Register(CLSID_Recorder, "Vellumor.Recorder", "Vellumor test recorder");
}
extern "C" HRESULT WINAPI DllUnregisterServer(void) { return com_server::Unregister(CLSID_Recorder, "Vellumor.Recorder"); }
