// Value conversion without a server: every runtime type to a variant, and
// variants back to runtime values, by result and by address.
#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include "automation/automation.h"
#include "commands/library.h"
#include "runtime/rt.h"
#include "vell_recorder.h"

namespace {

class Convert : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        g_rt.heap = GetProcessHeap();
        vell_library1.notify(1, (uint32_t)(uintptr_t)&rt_Notify, 0);
    }
    VARIANT v;
    void SetUp() override { VariantInit(&v); }
    void TearDown() override { VariantClear(&v); }
};

TEST_F(Convert, RuntimeValuesBecomeVariants) {
    ArgRecord a{1, 0, TYPE_BOOL};
    ASSERT_TRUE(ToVariant(&a, VT_BOOL, &v));
    EXPECT_EQ(V_VT(&v), VT_BOOL);
    EXPECT_EQ(V_BOOL(&v), VARIANT_TRUE);
    a = ArgRecord{0, 0, TYPE_BOOL};
    ASSERT_TRUE(ToVariant(&a, VT_BOOL, &v));
    EXPECT_EQ(V_BOOL(&v), VARIANT_FALSE);

    a = ArgRecord{0x80000000u, 0x7FFFFFFFu, TYPE_LONG};
    ASSERT_TRUE(ToVariant(&a, VT_I4, &v));
    EXPECT_EQ(V_VT(&v), VT_I4);
    EXPECT_EQ(V_I4(&v), (LONG)0x80000000u);

    a = ArgRecord{0x1FF, 0, TYPE_BYTE};
    ASSERT_TRUE(ToVariant(&a, VT_UI1, &v));
    EXPECT_EQ(V_VT(&v), VT_UI1);
    EXPECT_EQ(V_UI1(&v), 0xFF);

    a = ArgRecord{0, 0, TYPE_NONE};
    ASSERT_TRUE(ToVariant(&a, VT_I4, &v));
    EXPECT_EQ(V_VT(&v), VT_ERROR);
    EXPECT_EQ((uint32_t)V_ERROR(&v), 0x80020004u);

    a = ArgRecord{(uint32_t)(uintptr_t)"中", 0, TYPE_TEXT};
    ASSERT_TRUE(ToVariant(&a, VT_BSTR, &v));
    EXPECT_EQ(V_VT(&v), VT_BSTR);
    EXPECT_EQ(SysStringLen(V_BSTR(&v)), 1u);
    EXPECT_EQ(V_BSTR(&v)[0], 0x4E2D);
    VariantClear(&v);

    a = ArgRecord{0, 0, TYPE_TEXT};
    ASSERT_TRUE(ToVariant(&a, VT_BSTR, &v));
    EXPECT_EQ(V_BSTR(&v), nullptr) << "a null text becomes a null string";
}

TEST_F(Convert, UnsupportedRuntimeTypesAreRefused) {
    uint8_t bytes[9] = {1, 0, 0, 0, 1, 0, 0, 0, 7};
    ArgRecord a{(uint32_t)(uintptr_t)bytes, 0, TYPE_BYTES};
    EXPECT_FALSE(ToVariant(&a, VT_VARIANT, &v));
    a = ArgRecord{0x1234, 0, TYPE_SUBROUTINE};
    EXPECT_FALSE(ToVariant(&a, VT_VARIANT, &v));
    a = ArgRecord{0x52010001u, 0x16010003u, 0x00010005u};  // an edit box component
    EXPECT_FALSE(ToVariant(&a, VT_VARIANT, &v));
}

TEST_F(Convert, StoredVariantIsCopiedWithoutItsIndirection) {
    VARIANT inner;
    VariantInit(&inner);
    V_VT(&inner) = VT_I4;
    V_I4(&inner) = 99;
    VARIANT ref;
    V_VT(&ref) = VT_VARIANT | VT_BYREF;
    V_VARIANTREF(&ref) = &inner;
    VARIANT* block = &ref;
    ArgRecord a{(uint32_t)(uintptr_t)block, 0, TYPE_VARIANT};
    ASSERT_TRUE(ToVariant(&a, VT_VARIANT, &v));
    EXPECT_EQ(V_VT(&v), VT_I4);
    EXPECT_EQ(V_I4(&v), 99);
}

TEST_F(Convert, RecordsAreNeverConverted) {
    V_VT(&v) = VT_RECORD;
    v.pvRecord = nullptr;
    v.pRecInfo = nullptr;
    uint32_t data[2] = {5, 5};
    EXPECT_FALSE(FromVariant(&v, TYPE_INT, data, false));
    EXPECT_EQ(data[0], 5u);
    VariantInit(&v);
}

TEST_F(Convert, VariantsBecomeRuntimeValues) {
    uint32_t data[2] = {0, 0};
    V_VT(&v) = VT_BOOL;
    V_BOOL(&v) = VARIANT_TRUE;
    ASSERT_TRUE(FromVariant(&v, TYPE_BOOL, data, false));
    EXPECT_EQ(data[0], 1u) << "any true boolean becomes 1";

    V_VT(&v) = VT_I4;
    V_I4(&v) = -5;
    ASSERT_TRUE(FromVariant(&v, TYPE_LONG, data, false));
    int64_t wide;
    memcpy(&wide, data, 8);
    EXPECT_EQ(wide, -5) << "sign-extended to 64 bits";

    ASSERT_TRUE(FromVariant(&v, TYPE_TEXT, data, false));
    EXPECT_STREQ((const char*)(uintptr_t)data[0], "-5");
    lib_Free((void*)(uintptr_t)data[0]);

    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocString(L"");
    data[0] = 0xDEAD;
    ASSERT_TRUE(FromVariant(&v, TYPE_TEXT, data, false));
    EXPECT_EQ(data[0], 0u) << "an empty string becomes the null text";
    VariantClear(&v);

    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocString(L"x");
    EXPECT_FALSE(FromVariant(&v, TYPE_INT, data, false)) << "no number in the text";
    EXPECT_FALSE(FromVariant(&v, TYPE_BYTES, data, false)) << "no variant type for a byte set";
}

TEST_F(Convert, ByAddressReplacesTheVariablesValue) {
    char* var = lib_DupText("old");
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocString(L"\x4E2D");
    ASSERT_TRUE(FromVariant(&v, TYPE_TEXT, &var, true));
    EXPECT_STREQ(var, "中");
    lib_Free(var);
    VariantClear(&v);

    int16_t pair[2] = {0, 0x1111};
    V_VT(&v) = VT_I4;
    V_I4(&v) = -2;
    ASSERT_TRUE(FromVariant(&v, TYPE_SHORT, &pair[0], true));
    EXPECT_EQ(pair[0], -2);
    EXPECT_EQ(pair[1], 0x1111) << "only the variable's own width is written";

    VARIANT* block = nullptr;
    ASSERT_TRUE(FromVariant(&v, TYPE_VARIANT, &block, true));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(V_VT(block), VT_I4);
    EXPECT_EQ(V_I4(block), -2);
    lib_Free(block);
}

TEST_F(Convert, ObjectResultsHoldTheirOwnReference) {
    // A freshly made variant works as an object with a reference count.
    IUnknown* unk = nullptr;
    ASSERT_EQ(CreateErrorInfo((ICreateErrorInfo**)&unk), S_OK);
    V_VT(&v) = VT_UNKNOWN;
    V_UNKNOWN(&v) = unk;
    uint32_t data[2] = {0, 0};
    ASSERT_TRUE(FromVariant(&v, TYPE_AUTOMATION, data, false));
    AutomationRecord* rec = (AutomationRecord*)(uintptr_t)data[0];
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->object, unk);
    EXPECT_EQ(rec->recordData, nullptr);
    VariantClear(&v);  // our reference goes; the record's stays
    EXPECT_EQ(rec->object->AddRef(), 2u);
    rec->object->Release();
    // By address, the variable's previous object is released first.
    AutomationRecord* var = rec;
    IUnknown* second = nullptr;
    ASSERT_EQ(CreateErrorInfo((ICreateErrorInfo**)&second), S_OK);
    V_VT(&v) = VT_UNKNOWN;
    V_UNKNOWN(&v) = second;
    ASSERT_TRUE(FromVariant(&v, TYPE_AUTOMATION, &var, true));
    EXPECT_EQ(var, rec);
    EXPECT_EQ(rec->object, second);
    auto_ClearRecord(rec);
    lib_Free(rec);
}

// Declared parameter types, read from the recorder's type library.
class Declared : public ::testing::Test {
protected:
    ITypeInfo* info = nullptr;
    void SetUp() override {
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string p = self;
        std::wstring lib;
        for (char c : p.substr(0, p.rfind('\\')) + "\\vell_recorder.dll") lib += (wchar_t)(unsigned char)c;
        ITypeLib* tl = nullptr;
        ASSERT_EQ(LoadTypeLibEx(lib.c_str(), REGKIND_NONE, &tl), S_OK);
        ASSERT_EQ(tl->GetTypeInfoOfGuid(IID_IRecorder, &info), S_OK);
        tl->Release();
    }
    void TearDown() override {
        if (info) info->Release();
    }
    // The declared variant type of parameter `index` of member `name`.
    VARTYPE param(const wchar_t* name, int index) {
        MEMBERID id;
        LPOLESTR n = const_cast<LPOLESTR>(name);
        EXPECT_EQ(info->GetIDsOfNames(&n, 1, &id), S_OK);
        TYPEATTR* attr;
        info->GetTypeAttr(&attr);
        VARTYPE r = 0xFFFF;
        for (UINT i = 0; i < attr->cFuncs; i++) {
            FUNCDESC* f;
            info->GetFuncDesc(i, &f);
            if (f->memid == id && index < f->cParams) r = DeclaredVariantType(info, &f->lprgelemdescParam[index].tdesc);
            info->ReleaseFuncDesc(f);
        }
        info->ReleaseTypeAttr(attr);
        return r;
    }
};

TEST_F(Declared, ParameterTypesResolve) {
    EXPECT_EQ(param(L"TakeLong", 0), VT_I4);
    EXPECT_EQ(param(L"TakeMachine", 0), VT_I4) << "machine integer";
    EXPECT_EQ(param(L"TakeMachine", 1), VT_UI4) << "machine unsigned integer";
    EXPECT_EQ(param(L"OutLong", 0), VT_I4 | VT_BYREF);
    EXPECT_EQ(param(L"TakeMany", 1), VT_VARIANT | VT_ARRAY);
    EXPECT_EQ(param(L"TakeEnum", 0), VT_I4) << "enumeration";
    EXPECT_EQ(param(L"TakeAlias", 0), VT_BSTR) << "alias of a string";
    EXPECT_EQ(param(L"TakeDispatch", 0), VT_DISPATCH);
    EXPECT_EQ(param(L"TakeVariant", 0), VT_VARIANT);
}

}  // namespace

namespace {

// Wine's binding ignores the hash, so a wrong one would only fail on
// Windows: check the value itself. It follows the user's locale and the
// 32-bit system, and ignores case as the binding does.
TEST(NameHash, IsTheWin32HashInTheUsersLocale) {
    EXPECT_EQ(auto_NameHash(L"Type"), LHashValOfNameSys(SYS_WIN32, GetUserDefaultLCID(), L"Type"));
    EXPECT_NE(auto_NameHash(L"Type"), LHashValOfNameSys(SYS_MAC, GetUserDefaultLCID(), L"Type"));
    EXPECT_EQ(auto_NameHash(L"mode"), auto_NameHash(L"MODE"));
    EXPECT_NE(auto_NameHash(L"mode"), 0u);
}

}  // namespace
