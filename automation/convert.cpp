// Runtime values to automation variants and back.
#include "automation/automation.h"
#include "commands/library.h"
#include "ui/kind_api.h"
#include <string.h>

bool auto_IsObjectType(uint32_t baseType) {
    if (baseType == TYPE_AUTOMATION) return true;
    if (baseType == TYPE_NONE || baseType == TYPE_VARIANT || (baseType & TYPE_SYSTEM_BIT)) return false;
    const KindRecord* kind = (const KindRecord*)(uintptr_t)lib_Notify(NOTE_KIND_RECORD, baseType, 0);
    return kind && (kind->flags & KF_INTERFACE) != 0;
}

BSTR auto_TextToBstr(const char* text) {
    if (!text) return nullptr;
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0) return SysAllocStringLen(L"", 0);
    BSTR s = SysAllocStringLen(nullptr, (UINT)(n - 1));
    if (s) MultiByteToWideChar(CP_ACP, 0, text, -1, s, n);
    return s;
}

char* auto_BstrToText(BSTR s) {
    UINT len = s ? SysStringLen(s) : 0;
    if (len == 0) return nullptr;
    int n = WideCharToMultiByte(CP_ACP, 0, s, (int)len, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return nullptr;
    char* t = (char*)lib_Allocate(n + 1);
    WideCharToMultiByte(CP_ACP, 0, s, (int)len, t, n, nullptr, nullptr);
    t[n] = 0;
    return t;
}

AutomationRecord* auto_RecordOf(const ArgRecord* arg) {
    if (!arg) return nullptr;
    if (arg->type & TYPE_BYADDR) {
        AutomationRecord** var = (AutomationRecord**)(uintptr_t)arg->low;
        return var ? *var : nullptr;
    }
    return (AutomationRecord*)(uintptr_t)arg->low;
}

VARTYPE DeclaredVariantType(ITypeInfo* owner, const TYPEDESC* desc) {
    if (!desc) return VT_EMPTY;
    switch (desc->vt) {
    case VT_INT: return VT_I4;
    case VT_UINT: return VT_UI4;
    case VT_PTR: return (VARTYPE)(DeclaredVariantType(owner, desc->lptdesc) | VT_BYREF);
    case VT_SAFEARRAY: return (VARTYPE)(DeclaredVariantType(owner, desc->lptdesc) | VT_ARRAY);
    case VT_CARRAY:
        return (VARTYPE)((desc->lpadesc ? DeclaredVariantType(owner, &desc->lpadesc->tdescElem) : (VARTYPE)VT_EMPTY) | VT_ARRAY);
    case VT_USERDEFINED: {
        ITypeInfo* ref = nullptr;
        if (!owner || FAILED(owner->GetRefTypeInfo(desc->hreftype, &ref)) || !ref) return VT_UNKNOWN;
        TYPEATTR* attr = nullptr;
        VARTYPE vt = VT_UNKNOWN;
        if (SUCCEEDED(ref->GetTypeAttr(&attr)) && attr) {
            if (attr->typekind == TKIND_ENUM) vt = VT_I4;
            else if (attr->typekind == TKIND_DISPATCH) vt = VT_DISPATCH;
            else if (attr->typekind == TKIND_ALIAS) vt = DeclaredVariantType(ref, &attr->tdescAlias);
            ref->ReleaseTypeAttr(attr);
        }
        ref->Release();
        return vt;
    }
    default: return desc->vt;
    }
}

static void objectToVariant(AutomationRecord* rec, VARTYPE declared, VARIANT* out) {
    VariantInit(out);
    if (rec && rec->recordData) {
        V_VT(out) = VT_RECORD;
        out->pvRecord = rec->recordData;
        out->pRecInfo = (IRecordInfo*)rec->object;
        if (rec->object) rec->object->AddRef();
        return;
    }
    V_VT(out) = VT_UNKNOWN;
    V_UNKNOWN(out) = nullptr;
    if (!rec || !rec->object) return;
    if (declared == VT_UNKNOWN) {
        rec->object->AddRef();
        V_UNKNOWN(out) = rec->object;
    } else if (declared == VT_DISPATCH) {
        IDispatch* d = nullptr;
        if (SUCCEEDED(rec->object->QueryInterface(IID_IDispatch, (void**)&d)) && d) {
            V_VT(out) = VT_DISPATCH;
            V_DISPATCH(out) = d;
        }
    }
}

bool ToVariant(const ArgRecord* arg, VARTYPE declared, VARIANT* out) {
    VariantInit(out);
    uint32_t base = arg->type & ~TYPE_BYADDR;
    const void* value = (arg->type & TYPE_BYADDR) ? (const void*)(uintptr_t)arg->low : (const void*)&arg->low;
    if (base == TYPE_NONE) {
        V_VT(out) = VT_ERROR;
        V_ERROR(out) = DISP_E_PARAMNOTFOUND;
        return true;
    }
    if (!value) return false;
    if (auto_IsObjectType(base)) {
        objectToVariant(*(AutomationRecord* const*)value, (VARTYPE)(declared & ~VT_BYREF), out);
        return true;
    }
    switch (base) {
    case TYPE_VARIANT: {
        const VARIANT* stored = *(const VARIANT* const*)value;
        if (stored) VariantCopyInd(out, const_cast<VARIANT*>(stored));
        return true;
    }
    case TYPE_BOOL: V_VT(out) = VT_BOOL; V_BOOL(out) = *(const int32_t*)value ? VARIANT_TRUE : VARIANT_FALSE; return true;
    case TYPE_DATETIME: V_VT(out) = VT_DATE; memcpy(&V_DATE(out), value, 8); return true;
    case TYPE_TEXT: V_VT(out) = VT_BSTR; V_BSTR(out) = auto_TextToBstr(*(const char* const*)value); return true;
    case TYPE_BYTE: V_VT(out) = VT_UI1; V_UI1(out) = *(const uint8_t*)value; return true;
    case TYPE_SHORT: V_VT(out) = VT_I2; V_I2(out) = *(const int16_t*)value; return true;
    case TYPE_INT: V_VT(out) = VT_I4; V_I4(out) = *(const int32_t*)value; return true;
    case TYPE_LONG: {
        int64_t v;
        memcpy(&v, value, 8);
        V_VT(out) = VT_I4;
        V_I4(out) = (LONG)(uint32_t)(uint64_t)v;  // low 32 bits only
        return true;
    }
    case TYPE_FLOAT: V_VT(out) = VT_R4; memcpy(&V_R4(out), value, 4); return true;
    case TYPE_DOUBLE: V_VT(out) = VT_R8; memcpy(&V_R8(out), value, 8); return true;
    default: return false;  // byte sets, subroutine pointers, components
    }
}

static VARTYPE targetVariantType(uint32_t type) {
    switch (type) {
    case TYPE_AUTOMATION: return VT_UNKNOWN;
    case TYPE_BOOL: return VT_BOOL;
    case TYPE_DATETIME: return VT_DATE;
    case TYPE_TEXT: return VT_BSTR;
    case TYPE_BYTE: return VT_UI1;
    case TYPE_SHORT: return VT_I2;
    case TYPE_INT: return VT_I4;
    case TYPE_LONG: return VT_I4;
    case TYPE_FLOAT: return VT_R4;
    case TYPE_DOUBLE: return VT_R8;
    default: return VT_EMPTY;
    }
}

bool FromVariant(const VARIANT* src, uint32_t type, void* dest, bool byAddress) {
    if (!src || !dest) return false;
    if ((V_VT(src) & VT_TYPEMASK) == VT_RECORD) return false;
    if (type != TYPE_AUTOMATION && auto_IsObjectType(type)) type = TYPE_AUTOMATION;

    if (type == TYPE_VARIANT) {
        VARIANT* block;
        if (byAddress) {
            VARIANT** var = (VARIANT**)dest;
            if (!*var) {
                *var = (VARIANT*)lib_Allocate(sizeof(VARIANT));
                VariantInit(*var);
            } else {
                VariantClear(*var);
            }
            block = *var;
        } else {
            block = (VARIANT*)lib_Allocate(sizeof(VARIANT));
            memset(block, 0, sizeof(VARIANT));
            *(uint32_t*)dest = (uint32_t)(uintptr_t)block;
        }
        VariantCopyInd(block, const_cast<VARIANT*>(src));
        return true;
    }

    VARTYPE want = targetVariantType(type);
    if (want == VT_EMPTY) return false;
    VARIANT v;
    VariantInit(&v);
    if (FAILED(VariantCopyInd(&v, const_cast<VARIANT*>(src))) || FAILED(VariantChangeType(&v, &v, 0, want))) {
        VariantClear(&v);
        return false;
    }
    switch (type) {
    case TYPE_AUTOMATION: {
        IUnknown* unk = V_UNKNOWN(&v);
        if (unk) unk->AddRef();
        if (byAddress) {
            AutomationRecord** var = (AutomationRecord**)dest;
            if (!*var) {
                *var = (AutomationRecord*)lib_Allocate(sizeof(AutomationRecord));
                (*var)->recordData = nullptr;
            } else {
                auto_ClearRecord(*var);
            }
            (*var)->object = unk;
        } else {
            AutomationRecord* rec = (AutomationRecord*)lib_Allocate(sizeof(AutomationRecord));
            rec->object = unk;
            rec->recordData = nullptr;
            *(uint32_t*)dest = (uint32_t)(uintptr_t)rec;
        }
        break;
    }
    case TYPE_BOOL: *(int32_t*)dest = V_BOOL(&v) ? 1 : 0; break;
    case TYPE_DATETIME: memcpy(dest, &V_DATE(&v), 8); break;
    case TYPE_DOUBLE: memcpy(dest, &V_R8(&v), 8); break;
    case TYPE_TEXT: {
        char* text = auto_BstrToText(V_BSTR(&v));
        if (byAddress) lib_Free(*(char**)dest);
        *(char**)dest = text;
        break;
    }
    case TYPE_BYTE: if (byAddress) *(uint8_t*)dest = V_UI1(&v); else *(uint32_t*)dest = V_UI1(&v); break;
    case TYPE_SHORT: if (byAddress) *(int16_t*)dest = V_I2(&v); else *(int32_t*)dest = V_I2(&v); break;
    case TYPE_INT: *(int32_t*)dest = V_I4(&v); break;
    case TYPE_FLOAT: memcpy(dest, &V_R4(&v), 4); break;
    case TYPE_LONG: {
        int64_t wide = (int64_t)V_I4(&v);
        memcpy(dest, &wide, 8);
        break;
    }
    default: break;
    }
    VariantClear(&v);
    return true;
}
