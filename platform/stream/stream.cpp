// The stream object: a buffer of bytes with a position, holding text
// (type 2, encoded in its character set) or bytes (type 1). Members are
// reached late-bound through the embedded type library.
#include "platform/stream/com_server.h"
#include "vell_stream.h"
#include "platform/files/new_name.h"
#include <string.h>
#include <new>

// Tests make one operation fail as an exhausted memory would:
// VELL_STREAM_FAIL names it ("WriteText" or "CopyTo"; "Create" fails
// every creation, as a missing component would). Read per call, so a
// test process can set it between calls.
static bool injectedFailure(const char* method) {
    char wanted[32];
    DWORD n = GetEnvironmentVariableA("VELL_STREAM_FAIL", wanted, sizeof wanted);
    return n > 0 && n < sizeof wanted && lstrcmpiA(wanted, method) == 0;
}

// Lets CopyTo find the object behind another stream's dispatch interface.
static const IID IID_StreamSelf = {0x83006d5c, 0x0fc4, 0x4c46, {0x9f, 0x62, 0x58, 0x64, 0xa0, 0x1c, 0x83, 0x62}};

namespace {

enum Charset { CS_UNICODE, CS_UTF8 };

struct Stream final : IVellStream {
    LONG refs = 1;
    ITypeInfo* info = nullptr;
    long type = 2;
    long mode = 0;
    Charset charset = CS_UNICODE;
    bool open = false;
    // The bytes, in pieces of kChunk once there are more than that: a large
    // file's text then never needs a second copy of itself to grow, and the
    // pieces are not one block of address space.
    static const long kChunk = 16 << 20;
    BYTE** chunks = nullptr;
    long chunkCount = 0;
    long size = 0, capacity = 0, position = 0;

    ~Stream() {
        if (info) info->Release();
        for (long i = 0; i < chunkCount; i++) HeapFree(GetProcessHeap(), 0, chunks[i]);
        HeapFree(GetProcessHeap(), 0, chunks);
    }

    bool grow(long count) {
        BYTE** n = chunks ? (BYTE**)HeapReAlloc(GetProcessHeap(), 0, chunks, count * sizeof(BYTE*))
                          : (BYTE**)HeapAlloc(GetProcessHeap(), 0, count * sizeof(BYTE*));
        if (!n) return false;
        chunks = n;
        return true;
    }

    bool reserve(long need) {
        if (need <= capacity) return true;
        if (need > 0x7FFFFFFF - kChunk) return false;
        // A small stream is one block that doubles, up to a whole chunk.
        if (capacity < kChunk) {
            long cap = capacity ? capacity : 256;
            while (cap < need && cap < kChunk) cap *= 2;
            if (!chunks && !grow(1)) return false;
            BYTE* n = chunkCount ? (BYTE*)HeapReAlloc(GetProcessHeap(), 0, chunks[0], (SIZE_T)cap)
                                 : (BYTE*)HeapAlloc(GetProcessHeap(), 0, (SIZE_T)cap);
            if (!n) return false;
            chunks[0] = n;
            chunkCount = 1;
            capacity = cap;
        }
        while (capacity < need) {
            if (!grow(chunkCount + 1)) return false;
            BYTE* n = (BYTE*)HeapAlloc(GetProcessHeap(), 0, (SIZE_T)kChunk);
            if (!n) return false;
            chunks[chunkCount++] = n;
            capacity += kChunk;
        }
        return true;
    }

    // Calls `each` on the runs of bytes [from, from + n), in order, until one
    // returns false.
    template <typename Each>
    bool forEachRun(long from, long n, Each each) {
        while (n > 0) {
            long in = from % kChunk, run = kChunk - in < n ? kChunk - in : n;
            if (!each(chunks[from / kChunk] + in, run)) return false;
            from += run;
            n -= run;
        }
        return true;
    }

    // Writes at the position, overwriting and extending; the end of the
    // stream follows the last byte written.
    HRESULT write(const BYTE* bytes, long n) {
        if (n < 0 || position > 0x7FFFFFFF - n) return E_OUTOFMEMORY;
        if (!reserve(position + n)) return E_OUTOFMEMORY;
        forEachRun(position, n, [&](BYTE* run, long length) {
            memcpy(run, bytes, (size_t)length);
            bytes += length;
            return true;
        });
        position += n;
        size = position;
        return S_OK;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IVellStream || iid == IID_StreamSelf) {
            *out = static_cast<IVellStream*>(this);
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

    // IDispatch, through the type information
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        if (!n) return E_POINTER;
        *n = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
        if (!out) return E_POINTER;
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
        return DispInvoke(static_cast<IVellStream*>(this), info, id, flags, params, result, excep, argErr);
    }

    // IVellStream
    HRESULT STDMETHODCALLTYPE get_Type(long* v) override { if (!v) return E_POINTER; *v = type; return S_OK; }
    HRESULT STDMETHODCALLTYPE put_Type(long v) override {
        if (v != 1 && v != 2) return E_INVALIDARG;
        if (open && position != 0) return E_FAIL;  // only at the start of an open stream
        type = v;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Mode(long* v) override { if (!v) return E_POINTER; *v = mode; return S_OK; }
    HRESULT STDMETHODCALLTYPE put_Mode(long v) override {
        if (open) return E_FAIL;
        mode = v;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Charset(BSTR* v) override {
        if (!v) return E_POINTER;
        *v = SysAllocString(charset == CS_UTF8 ? L"utf-8" : L"Unicode");
        return *v ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE put_Charset(BSTR v) override {
        if (!v) return E_INVALIDARG;
        if (lstrcmpiW(v, L"utf-8") == 0) charset = CS_UTF8;
        else if (lstrcmpiW(v, L"unicode") == 0) charset = CS_UNICODE;
        else return E_INVALIDARG;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Position(long* v) override { if (!v) return E_POINTER; *v = position; return S_OK; }
    HRESULT STDMETHODCALLTYPE put_Position(long v) override {
        if (!open || v < 0 || v > size) return E_INVALIDARG;
        position = v;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Size(long* v) override { if (!v) return E_POINTER; *v = size; return S_OK; }
    HRESULT STDMETHODCALLTYPE Open() override {
        if (open) return E_FAIL;
        open = true;
        size = position = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE WriteText(BSTR text, long options) override {
        if (!open || type != 2) return E_FAIL;
        if (injectedFailure("WriteText")) return E_OUTOFMEMORY;
        UINT len = text ? SysStringLen(text) : 0;
        HRESULT hr = S_OK;
        if (charset == CS_UTF8) {
            if (size == 0) {
                static const BYTE bom[] = {0xEF, 0xBB, 0xBF};
                hr = write(bom, 3);
            }
            if (SUCCEEDED(hr) && len > 0) {
                int n = WideCharToMultiByte(CP_UTF8, 0, text, (int)len, nullptr, 0, nullptr, nullptr);
                if (n <= 0) return E_FAIL;
                BYTE* tmp = (BYTE*)HeapAlloc(GetProcessHeap(), 0, (SIZE_T)n);
                if (!tmp) return E_OUTOFMEMORY;
                WideCharToMultiByte(CP_UTF8, 0, text, (int)len, (char*)tmp, n, nullptr, nullptr);
                hr = write(tmp, n);
                HeapFree(GetProcessHeap(), 0, tmp);
            }
            if (SUCCEEDED(hr) && options == 1) hr = write((const BYTE*)"\r\n", 2);
        } else {
            if (size == 0) {
                static const BYTE bom[] = {0xFF, 0xFE};
                hr = write(bom, 2);
            }
            if (SUCCEEDED(hr) && len > 0) hr = write((const BYTE*)text, (long)len * 2);
            if (SUCCEEDED(hr) && options == 1) hr = write((const BYTE*)L"\r\n", 4);
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE CopyTo(IDispatch* destination, long count) override {
        if (!open || !destination) return E_INVALIDARG;
        if (injectedFailure("CopyTo")) return E_OUTOFMEMORY;
        Stream* to = nullptr;
        if (FAILED(destination->QueryInterface(IID_StreamSelf, (void**)&to)) || !to) return E_INVALIDARG;
        HRESULT hr = E_FAIL;
        if (to->open) {
            long n = size - position;
            if (count >= 0 && count < n) n = count;
            if (to == this) {
                hr = E_INVALIDARG;
            } else {
                hr = S_OK;
                forEachRun(position, n, [&](BYTE* run, long length) {
                    hr = to->write(run, length);
                    return SUCCEEDED(hr);
                });
                if (SUCCEEDED(hr)) position += n;
            }
        }
        to->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE SaveToFile(BSTR fileName, long options) override {
        if (!open || !fileName || !*fileName) return E_INVALIDARG;
        HANDLE h = options == 2
                       ? CreateFileW(fileName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)
                       : CreateNewFile(fileName);
        if (h == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(GetLastError());
        DWORD err = ERROR_SUCCESS;
        forEachRun(0, size, [&](BYTE* run, long length) {
            DWORD written = 0;
            if (!WriteFile(h, run, (DWORD)length, &written, nullptr)) err = GetLastError();
            else if (written != (DWORD)length) err = ERROR_WRITE_FAULT;
            return err == ERROR_SUCCESS;
        });
        CloseHandle(h);
        return err == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(err);
    }
    HRESULT STDMETHODCALLTYPE Flush() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close() override {
        if (!open) return E_FAIL;
        open = false;
        size = position = 0;
        return S_OK;
    }
};

// Loaded once: a stream is made for every file a job rewrites, and loading
// the type library each time costs more than the whole stream's work.
ITypeInfo* volatile s_info;

ITypeInfo* sharedTypeInfo() {
    ITypeInfo* info = s_info;
    if (!info) {
        ITypeInfo* loaded = com_server::TypeInfoOf(IID_IVellStream);
        if (!loaded) return nullptr;
        info = (ITypeInfo*)InterlockedCompareExchangePointer((PVOID volatile*)&s_info, loaded, nullptr);
        if (info) loaded->Release();  // another thread was first
        else info = loaded;
    }
    info->AddRef();
    return info;
}

HRESULT createStream(REFIID iid, void** out) {
    // As a class that is not registered.
    if (injectedFailure("Create")) return REGDB_E_CLASSNOTREG;
    ITypeInfo* info = sharedTypeInfo();
    if (!info) return TYPE_E_CANTLOADLIBRARY;
    Stream* s = new (std::nothrow) Stream;
    if (!s) {
        info->Release();
        return E_OUTOFMEMORY;
    }
    s->info = info;
    InterlockedIncrement(&com_server::g_objects);
    HRESULT hr = s->QueryInterface(iid, out);
    s->Release();
    return hr;
}

com_server::Factory g_factory(createStream);

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        com_server::g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != CLSID_VellStream) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow(void) {
    if (com_server::g_objects != 0 || com_server::g_locks != 0) return S_FALSE;
    if (ITypeInfo* info = (ITypeInfo*)InterlockedExchangePointer((PVOID volatile*)&s_info, nullptr)) info->Release();
    return S_OK;
}

extern "C" HRESULT WINAPI DllRegisterServer(void) {
    return com_server::Register(CLSID_VellStream, "adodb.stream", "Vellumor stream");
}

extern "C" HRESULT WINAPI DllUnregisterServer(void) {
    return com_server::Unregister(CLSID_VellStream, "adodb.stream");
}
