// The automation object commands: creation, property writes and method
// calls by name through the object's type information, and release.
// Failures never end the program; they leave a per-thread status.
#include "automation/automation.h"
#include "commands/library.h"
#include "runtime/rt.h"
#include <string.h>

static thread_local int32_t t_lastStatus = 0;

int32_t auto_LastStatus(void) { return t_lastStatus; }
void auto_SetLastStatus(int32_t status) { t_lastStatus = status; }

int32_t auto_StatusOfInvokeError(HRESULT hr) {
    switch (hr) {
    case DISP_E_BADPARAMCOUNT: return AS_CALL_BAD_PARAM_COUNT;
    case DISP_E_BADVARTYPE: return AS_CALL_BAD_VAR_TYPE;
    case DISP_E_EXCEPTION: return AS_CALL_EXCEPTION;
    case DISP_E_MEMBERNOTFOUND: return AS_CALL_MEMBER_NOT_FOUND;
    case DISP_E_NONAMEDARGS: return AS_CALL_NO_NAMED_ARGS;
    case DISP_E_OVERFLOW: return AS_CALL_OVERFLOW;
    case DISP_E_PARAMNOTFOUND: return AS_CALL_PARAM_NOT_FOUND;
    case DISP_E_TYPEMISMATCH: return AS_CALL_TYPE_MISMATCH;
    case DISP_E_PARAMNOTOPTIONAL: return AS_CALL_PARAM_NOT_OPTIONAL;
    default: return AS_CALL_OTHER;
    }
}

ULONG auto_NameHash(LPCOLESTR name) { return LHashValOfNameSys(SYS_WIN32, LOCALE_USER_DEFAULT, name); }

void auto_ClearRecord(AutomationRecord* record) {
    if (!record) return;
    if (record->object) {
        if (record->recordData) {
            ((IRecordInfo*)record->object)->RecordDestroy(record->recordData);
            record->recordData = nullptr;
        }
        record->object->Release();
        record->object = nullptr;
    } else if (record->recordData) {
        lib_Free(record->recordData);
        record->recordData = nullptr;
    }
}

// Notification 2035 reaches the records through the runtime state.
static void releaseRecordNote(void* record) { auto_ClearRecord((AutomationRecord*)record); }
void auto_InstallLayer(void) { g_rt.releaseAutomationObject = releaseRecordNote; }

static const char* textArg(const ArgRecord* a) {
    if (!a || (a->type & ~TYPE_BYADDR) != TYPE_TEXT) return nullptr;
    if (a->type & TYPE_BYADDR) return a->low ? *(const char* const*)(uintptr_t)a->low : nullptr;
    return (const char*)(uintptr_t)a->low;
}

// A class named in a type library file, tried before the registry when a file is given.
static IUnknown* createFromTypeLibrary(const char* className, const char* file) {
    BSTR wfile = auto_TextToBstr(file ? file : "");
    BSTR wname = auto_TextToBstr(className ? className : "");
    IUnknown* unk = nullptr;
    ITypeLib* lib = nullptr;
    if (wfile && wname && SUCCEEDED(LoadTypeLib(wfile, &lib)) && lib) {
        ITypeInfo* info = nullptr;
        MEMBERID member = 0;
        USHORT found = 1;
        ULONG hash = LHashValOfNameSys(SYS_WIN32, LOCALE_USER_DEFAULT, wname);
        if (SUCCEEDED(lib->FindName(wname, hash, &info, &member, &found)) && found == 1 && info) {
            if (SUCCEEDED(info->CreateInstance(nullptr, IID_IUnknown, (void**)&unk)) && unk && file &&
                strchr(file, '\\'))
                RegisterTypeLib(lib, wfile, nullptr);
            info->Release();
        }
        lib->Release();
    }
    SysFreeString(wname);
    SysFreeString(wfile);
    return unk;
}

extern "C" void cmd_CreateAutomationObject(ArgRecord* result, int32_t count, ArgRecord* args) {
    result->low = 0;
    AutomationRecord* record = count >= 1 ? auto_RecordOf(&args[0]) : nullptr;
    const char* className = count >= 2 ? textArg(&args[1]) : nullptr;
    if (!record) return;
    const char* cls = className ? className : "";

    IUnknown* unk = nullptr;
    if (cls[0] != '{' && count >= 3 && args[2].type != TYPE_NONE)
        unk = createFromTypeLibrary(cls, textArg(&args[2]));
    if (!unk && (FAILED(auto_CreateNamed(cls, &unk)) || !unk)) return;
    if (FAILED(OleRun(unk))) {
        unk->Release();
        return;  // the variable keeps what it held
    }
    auto_ClearRecord(record);
    record->object = unk;
    result->low = 1;
}

extern "C" void cmd_ClearAutomationObject(ArgRecord*, int32_t count, ArgRecord* args) {
    if (count >= 1) auto_ClearRecord(auto_RecordOf(&args[0]));
}

// What a successful binding yields for the call.
struct Binding {
    ITypeInfo* info = nullptr;
    DESCKIND kind = DESCKIND_NONE;
    BINDPTR ptr = {};
    MEMBERID member = 0;
    WORD flags = 0;
    int32_t paramCount = 0;
    const ELEMDESC* params = nullptr;
    bool varargs = false;
};

static void releaseBinding(Binding& b) {
    if (b.kind == DESCKIND_FUNCDESC && b.ptr.lpfuncdesc && b.info) b.info->ReleaseFuncDesc(b.ptr.lpfuncdesc);
    else if ((b.kind == DESCKIND_VARDESC || b.kind == DESCKIND_IMPLICITAPPOBJ) && b.ptr.lpvardesc && b.info)
        b.info->ReleaseVarDesc(b.ptr.lpvardesc);
    else if (b.kind == DESCKIND_TYPECOMP && b.ptr.lptcomp) b.ptr.lptcomp->Release();
    if (b.info) b.info->Release();
    b = Binding();
}

static bool isObjectOrArray(VARTYPE vt) {
    return vt == VT_DISPATCH || vt == VT_UNKNOWN || vt == VT_SAFEARRAY || vt == VT_CARRAY || (vt & VT_ARRAY);
}

// Whether a holder of this type can be handed over as a by-reference
// variant of the same type.
static bool refPassable(VARTYPE vt) {
    return (vt >= VT_I2 && vt <= VT_BOOL) || vt == VT_UNKNOWN || (vt >= VT_I1 && vt <= VT_UI4) || vt == VT_INT ||
           vt == VT_UINT || vt == VT_HRESULT;
}

static void moveVariant(VARIANT* to, VARIANT* from) {
    *to = *from;
    VariantInit(from);
}

static int32_t bindMember(ITypeComp* comp, LPOLESTR name, int32_t kind, Binding& b) {
    static const WORD kRead[] = {INVOKE_PROPERTYGET, INVOKE_FUNC};
    static const WORD kWrite[] = {INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF, INVOKE_FUNC};
    static const WORD kCall[] = {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF};
    const WORD* order = kind == ACCESS_READ ? kRead : kind == ACCESS_WRITE ? kWrite : kCall;
    int tries = kind == ACCESS_READ ? 2 : kind == ACCESS_WRITE ? 3 : 4;
    ULONG hash = auto_NameHash(name);
    bool bound = false;
    for (int i = 0; i < tries && !bound; i++) {
        ITypeInfo* info = nullptr;
        DESCKIND dk = DESCKIND_NONE;
        BINDPTR bp = {};
        HRESULT hr = comp->Bind(name, hash, order[i], &info, &dk, &bp);
        if (SUCCEEDED(hr) && dk != DESCKIND_NONE) {
            b.info = info;
            b.kind = dk;
            b.ptr = bp;
            bound = true;
        } else if (info) {
            info->Release();
        }
    }
    if (!bound) return AS_NO_MEMBER;
    if (b.kind == DESCKIND_FUNCDESC && b.ptr.lpfuncdesc) {
        const FUNCDESC* f = b.ptr.lpfuncdesc;
        b.member = f->memid;
        b.flags = (WORD)f->invkind;
        b.paramCount = f->cParams;
        b.params = f->lprgelemdescParam;
        b.varargs = f->cParamsOpt == -1 && f->cParams >= 1;
        return AS_OK;
    }
    if (b.kind == DESCKIND_VARDESC && b.ptr.lpvardesc) {
        const VARDESC* v = b.ptr.lpvardesc;
        b.member = v->memid;
        if (kind == ACCESS_WRITE) {
            b.paramCount = 1;
            b.params = &v->elemdescVar;
            b.flags = isObjectOrArray(v->elemdescVar.tdesc.vt) ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
        } else {
            b.flags = DISPATCH_PROPERTYGET;
        }
        return AS_OK;
    }
    return AS_NO_MEMBER;
}

// Converts one member argument into argv (and its holder for by-reference
// parameters).
static bool prepareArgument(const ArgRecord* arg, ITypeInfo* owner, const ELEMDESC* param, VARIANT* argv, VARIANT* holder) {
    VARTYPE declared = param ? DeclaredVariantType(owner, &param->tdesc) : (VARTYPE)VT_VARIANT;
    if (!(declared & VT_BYREF)) {
        if (!ToVariant(arg, declared, argv)) return false;
    } else {
        VARTYPE base = (VARTYPE)(declared & ~VT_BYREF);
        if (!ToVariant(arg, base, holder)) return false;
        if (V_VT(holder) == VT_ERROR) {
            moveVariant(argv, holder);
        } else if (base & VT_ARRAY) {
            if (V_VT(holder) & VT_ARRAY) {
                V_VT(argv) = (VARTYPE)(V_VT(holder) | VT_BYREF);
                V_ARRAYREF(argv) = &V_ARRAY(holder);
            } else {
                moveVariant(argv, holder);
            }
        } else if (base == VT_VARIANT) {
            V_VT(argv) = VT_VARIANT | VT_BYREF;
            V_VARIANTREF(argv) = holder;
        } else {
            HRESULT hr = VariantChangeType(holder, holder, 0, base);
            if (base == VT_RECORD || FAILED(hr) || !refPassable(base)) {
                moveVariant(argv, holder);
            } else {
                V_VT(argv) = (VARTYPE)(base | VT_BYREF);
                V_BYREF(argv) = &V_UI1(holder);  // the payload
            }
        }
    }
    if (V_VT(argv) == VT_EMPTY) {
        V_VT(argv) = VT_ERROR;
        V_ERROR(argv) = DISP_E_PARAMNOTFOUND;
    }
    return true;
}

static int32_t invokeBound(IDispatch* disp, Binding& b, ArgRecord* result, int32_t count, ArgRecord* args,
                           uint32_t wantType) {
    int32_t n = count - 2;
    while (n > 0 && args[2 + n - 1].type == TYPE_NONE) n--;
    if (n > b.paramCount && !(b.kind == DESCKIND_FUNCDESC && b.varargs)) return AS_TOO_MANY_ARGS;

    VARIANT* argv = nullptr;
    VARIANT* holders = nullptr;
    const ELEMDESC** descs = nullptr;  // per given argument; the last declared one repeats
    int32_t status = AS_OK;
    if (n > 0) {
        argv = (VARIANT*)CoTaskMemAlloc(sizeof(VARIANT) * (SIZE_T)n);
        holders = (VARIANT*)CoTaskMemAlloc(sizeof(VARIANT) * (SIZE_T)n);
        descs = (const ELEMDESC**)CoTaskMemAlloc(sizeof(ELEMDESC*) * (SIZE_T)n);
        if (!argv || !holders || !descs) {
            CoTaskMemFree(argv);
            CoTaskMemFree(holders);
            CoTaskMemFree(descs);
            return AS_CALL_OTHER;
        }
        for (int32_t i = 0; i < n; i++) {
            VariantInit(&argv[i]);
            VariantInit(&holders[i]);
            int32_t p = i < b.paramCount ? i : b.paramCount - 1;
            descs[i] = p >= 0 && b.params ? &b.params[p] : nullptr;
        }
        for (int32_t i = 0; i < n && status == AS_OK; i++) {
            int32_t slot = n - 1 - i;  // reverse order: the last argument first
            if (!prepareArgument(&args[2 + i], b.info, descs[i], &argv[slot], &holders[slot]))
                status = AS_BAD_ARGUMENT;
        }
    }

    if (status == AS_OK) {
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS dp = {argv, nullptr, (UINT)n, 0};
        if (b.flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            dp.rgdispidNamedArgs = &named;
            dp.cNamedArgs = 1;
        }
        VARIANT out;
        VariantInit(&out);
        UINT argError = (UINT)-1;
        HRESULT hr = disp->Invoke(b.member, IID_NULL, LOCALE_USER_DEFAULT, b.flags, &dp, &out, nullptr, &argError);
        if (FAILED(hr)) {
            status = auto_StatusOfInvokeError(hr);
        } else {
            for (int32_t i = 0; i < n; i++) {
                int32_t slot = n - 1 - i;
                const ArgRecord* a = &args[2 + i];
                bool output = descs[i] && (descs[i]->paramdesc.wParamFlags & PARAMFLAG_FOUT);
                if ((V_VT(&argv[slot]) & VT_BYREF) && output && (a->type & TYPE_BYADDR) && a->low)
                    FromVariant(&argv[slot], a->type & ~TYPE_BYADDR, (void*)(uintptr_t)a->low, true);
            }
            if (wantType != TYPE_NONE && !FromVariant(&out, wantType, &result->low, false)) status = AS_BAD_RESULT;
        }
        VariantClear(&out);
    }
    for (int32_t i = 0; i < n; i++) {
        VariantClear(&argv[i]);
        VariantClear(&holders[i]);
    }
    CoTaskMemFree(argv);
    CoTaskMemFree(holders);
    CoTaskMemFree(descs);
    return status;
}

void AccessMember(ArgRecord* result, int32_t count, ArgRecord* args, int32_t kind) {
    uint32_t wantType = result->type;
    int32_t status = AS_OK;
    BSTR name = auto_TextToBstr(count >= 2 ? (textArg(&args[1]) ? textArg(&args[1]) : "") : "");
    AutomationRecord* record = count >= 1 ? auto_RecordOf(&args[0]) : nullptr;
    IDispatch* disp = nullptr;
    ITypeInfo* info = nullptr;
    ITypeComp* comp = nullptr;
    Binding b;

    if (!record || !record->object) status = AS_NO_OBJECT;
    else if (FAILED(record->object->QueryInterface(IID_IDispatch, (void**)&disp)) || !disp) status = AS_NO_DISPATCH;
    else if (FAILED(disp->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info)) || !info ||
             FAILED(info->GetTypeComp(&comp)) || !comp)
        status = AS_NO_TYPEINFO;
    else if (!name) status = AS_NO_MEMBER;
    else status = bindMember(comp, name, kind, b);

    if (status == AS_OK) status = invokeBound(disp, b, result, count, args, wantType);

    releaseBinding(b);
    if (comp) comp->Release();
    if (info) info->Release();
    if (disp) disp->Release();
    SysFreeString(name);

    if (status != AS_OK && wantType != TYPE_NONE) {
        result->low = result->high = 0;
        if (auto_IsObjectType(wantType)) {
            AutomationRecord* rec = (AutomationRecord*)lib_Allocate(sizeof(AutomationRecord));
            memset(rec, 0, sizeof *rec);
            result->low = (uint32_t)(uintptr_t)rec;
        } else if (wantType == TYPE_VARIANT) {
            void* block = lib_Allocate(sizeof(VARIANT));
            memset(block, 0, sizeof(VARIANT));
            result->low = (uint32_t)(uintptr_t)block;
        }
    }
    auto_SetLastStatus(status);
}

extern "C" void cmd_SetAutomationProperty(ArgRecord* result, int32_t count, ArgRecord* args) {
    result->type = TYPE_NONE;
    AccessMember(result, count, args, ACCESS_WRITE);
    lib_SetBool(result, auto_LastStatus() == AS_OK);
}

extern "C" void cmd_CallAutomationMethod(ArgRecord* result, int32_t count, ArgRecord* args) {
    result->type = TYPE_NONE;
    AccessMember(result, count, args, ACCESS_CALL);
}

extern "C" void cmd_AutomationStatus(ArgRecord* result, int32_t, ArgRecord*) { lib_SetInt(result, auto_LastStatus()); }
