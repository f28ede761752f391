// Automation objects against the recorder server: what each runtime value
// becomes on arrival, argument counts, omitted arguments, property writes,
// output parameters, results and the status codes.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "automation/automation.h"
#include "commands/library.h"
#include "runtime/rt.h"
#include "tests/automation/recorder_log.h"

namespace {

RecorderLog* g_log;

std::string selfDir() {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string p = self;
    return p.substr(0, p.rfind('\\'));
}

ArgRecord obj(AutomationRecord* r) { return ArgRecord{(uint32_t)(uintptr_t)r, 0, TYPE_AUTOMATION}; }
ArgRecord text(const char* s) { return ArgRecord{(uint32_t)(uintptr_t)s, 0, TYPE_TEXT}; }
ArgRecord integer(int32_t v) { return ArgRecord{(uint32_t)v, 0, TYPE_INT}; }
ArgRecord omitted() { return ArgRecord{0, 0, TYPE_NONE}; }
ArgRecord byAddr(void* var, uint32_t type) { return ArgRecord{(uint32_t)(uintptr_t)var, 0, type | TYPE_BYADDR}; }

DWORD WINAPI statusOfNewThread(LPVOID) { return (DWORD)auto_LastStatus(); }

class Automation : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        g_rt.heap = GetProcessHeap();
        auto_InstallLayer();
        vell_library1.notify(1, (uint32_t)(uintptr_t)&rt_Notify, 0);
        OleInitialize(nullptr);
        HMODULE dll = LoadLibraryA((selfDir() + "\\vell_recorder.dll").c_str());
        ASSERT_NE(dll, nullptr);
        auto reg = (HRESULT(WINAPI*)(void))(void*)GetProcAddress(dll, "DllRegisterServer");
        ASSERT_NE(reg, nullptr);
        ASSERT_EQ(reg(), S_OK);
        g_log = ((RecorderLogOfFn)(void*)GetProcAddress(dll, "RecorderLogOf"))();
    }

    AutomationRecord rec{nullptr, nullptr};
    AutomationRecord other{nullptr, nullptr};

    void SetUp() override {
        ASSERT_TRUE(create(&rec, "Vellumor.Recorder"));
        auto_SetLastStatus(0);
    }
    void TearDown() override {
        auto_ClearRecord(&rec);
        auto_ClearRecord(&other);
    }

    static bool create(AutomationRecord* r, const char* progId) {
        ArgRecord res;
        ArgRecord a[2] = {obj(r), text(progId)};
        rt_CallCommand(&res, cmd_CreateAutomationObject, 2, a);
        EXPECT_EQ(res.type, 0u);
        return res.low == 1;
    }
    // Calls a method; returns the status.
    int32_t call(const char* name, std::vector<ArgRecord> args, AutomationRecord* target = nullptr) {
        std::vector<ArgRecord> a = {obj(target ? target : &rec), text(name)};
        a.insert(a.end(), args.begin(), args.end());
        ArgRecord res;
        rt_CallCommand(&res, cmd_CallAutomationMethod, (int32_t)a.size(), a.data());
        EXPECT_EQ(res.type, 0u);
        return auto_LastStatus();
    }
    // Reads a member's result as `type`.
    ArgRecord read(const char* name, uint32_t type, int32_t kind = ACCESS_CALL) {
        ArgRecord a[2] = {obj(&rec), text(name)};
        ArgRecord res{0, 0, type};
        AccessMember(&res, 2, a, kind);
        return res;
    }
};

TEST_F(Automation, ValuesArriveConverted) {
    EXPECT_EQ(call("TakeBool", {ArgRecord{1, 0, TYPE_BOOL}}), 0);
    EXPECT_EQ(g_log->args[0].vt, VT_BOOL);
    EXPECT_EQ(g_log->args[0].i4, -1) << "true arrives as -1";

    EXPECT_EQ(call("TakeLong", {ArgRecord{0x23456789u, 0x1u, TYPE_LONG}}), 0);
    EXPECT_EQ(g_log->args[0].vt, VT_I4);
    EXPECT_EQ(g_log->args[0].i4, 0x23456789) << "a long integer arrives as its low 32 bits";

    EXPECT_EQ(call("TakeText", {text(nullptr)}), 0);
    EXPECT_EQ(g_log->args[0].vt, VT_BSTR);
    EXPECT_TRUE(g_log->args[0].bstrNull);

    EXPECT_EQ(call("TakeText", {text("中文")}), 0);
    EXPECT_FALSE(g_log->args[0].bstrNull);
    EXPECT_EQ(std::wstring(g_log->args[0].text), L"\x4E2D\x6587") << "texts cross in the ANSI code page";

    EXPECT_EQ(call("TakeSmall", {ArgRecord{0xFE, 0, TYPE_BYTE}, ArgRecord{0xFFFF8000u, 0, TYPE_SHORT}}), 0);
    EXPECT_EQ(g_log->args[1].vt, VT_UI1);
    EXPECT_EQ(g_log->args[1].i4, 0xFE);
    EXPECT_EQ(g_log->args[0].vt, VT_I2);
    EXPECT_EQ(g_log->args[0].i4, -32768);

    double d = 2.5, t = 45000.25;
    float f = 0.75f;
    ArgRecord dr{0, 0, TYPE_DOUBLE}, fr{0, 0, TYPE_FLOAT}, tr{0, 0, TYPE_DATETIME};
    memcpy(&dr.low, &d, 8);
    memcpy(&fr.low, &f, 4);
    memcpy(&tr.low, &t, 8);
    EXPECT_EQ(call("TakeReal", {dr, fr, tr}), 0);
    EXPECT_EQ(g_log->args[2].vt, VT_R8);
    EXPECT_EQ(g_log->args[2].r8, 2.5);
    EXPECT_EQ(g_log->args[1].vt, VT_R4);
    EXPECT_EQ(g_log->args[1].r8, 0.75);
    EXPECT_EQ(g_log->args[0].vt, VT_DATE);
    EXPECT_EQ(g_log->args[0].r8, 45000.25);
}

TEST_F(Automation, ArgumentsGivenByAddressAreReadThroughTheVariable) {
    int32_t v = 1234;
    EXPECT_EQ(call("TakeLong", {byAddr(&v, TYPE_INT)}), 0);
    EXPECT_EQ(g_log->args[0].vt, VT_I4);
    EXPECT_EQ(g_log->args[0].i4, 1234);
    const char* s = "abc";
    EXPECT_EQ(call("TakeText", {byAddr(&s, TYPE_TEXT)}), 0);
    EXPECT_EQ(std::wstring(g_log->args[0].text), L"abc");
}

TEST_F(Automation, ObjectsArriveByDeclaredType) {
    ASSERT_TRUE(create(&other, "Vellumor.Recorder"));
    IDispatch* otherDispatch = nullptr;
    ASSERT_EQ(other.object->QueryInterface(IID_IDispatch, (void**)&otherDispatch), S_OK);
    otherDispatch->Release();

    EXPECT_EQ(call("TakeVariant", {obj(&other)}), 0);
    EXPECT_EQ(g_log->args[0].vt, VT_UNKNOWN);
    EXPECT_EQ(g_log->args[0].pointer, nullptr) << "for a variant parameter an object arrives as a null unknown";

    EXPECT_EQ(call("TakeDispatch", {obj(&other)}), 0);
    EXPECT_EQ(g_log->args[0].vt, VT_DISPATCH);
    EXPECT_EQ(g_log->args[0].pointer, otherDispatch);

    AutomationRecord* var = &other;
    EXPECT_EQ(call("TakeDispatch", {byAddr(&var, TYPE_AUTOMATION)}), 0);
    EXPECT_EQ(g_log->args[0].pointer, otherDispatch) << "an object variable passed by address";

    EXPECT_EQ(call("TakeUnknown", {obj(&other)}), 0);
    EXPECT_EQ(g_log->args[0].vt, VT_UNKNOWN);
    EXPECT_EQ(g_log->args[0].pointer, other.object);

    AutomationRecord empty{nullptr, nullptr};
    EXPECT_EQ(call("TakeDispatch", {obj(&empty)}), 0);
    EXPECT_EQ(g_log->args[0].vt, VT_UNKNOWN);
    EXPECT_EQ(g_log->args[0].pointer, nullptr);
}

TEST_F(Automation, TooManyArgumentsAreRefusedWithoutACall) {
    int before = g_log->calls;
    EXPECT_EQ(call("TakeTwo", {integer(1), integer(2), integer(3)}), AS_TOO_MANY_ARGS);
    EXPECT_EQ(g_log->calls, before);
    // Trailing omitted arguments do not count.
    EXPECT_EQ(call("TakeTwo", {integer(1), integer(2), omitted(), omitted()}), 0);
    EXPECT_EQ(g_log->calls, before + 1);
    EXPECT_EQ(g_log->argCount, 2u);
}

TEST_F(Automation, VariableArgumentListTakesExtraArguments) {
    EXPECT_EQ(call("TakeMany", {integer(1), integer(2), integer(3), integer(4)}), 0);
    EXPECT_EQ(g_log->argCount, 4u);
    EXPECT_EQ(g_log->args[0].i4, 4);
    EXPECT_EQ(g_log->args[3].i4, 1);
}

TEST_F(Automation, OmittedArgumentsInTheMiddleArriveAsMissing) {
    EXPECT_EQ(call("TakeOptional", {integer(1), omitted(), integer(3)}), 0);
    ASSERT_EQ(g_log->argCount, 3u);
    EXPECT_EQ(g_log->args[2].vt, VT_I4);
    EXPECT_EQ(g_log->args[1].vt, VT_ERROR);
    EXPECT_EQ((uint32_t)g_log->args[1].i4, 0x80020004u);
    EXPECT_EQ(g_log->args[0].i4, 3);

    EXPECT_EQ(call("TakeOptional", {integer(1), omitted(), omitted()}), 0);
    EXPECT_EQ(g_log->argCount, 1u) << "omitted trailing arguments are not passed";
    EXPECT_EQ(call("TakeOptional", {}), 0);
    EXPECT_EQ(g_log->argCount, 0u);
}

TEST_F(Automation, PropertyWriteSendsOneNamedArgument) {
    ArgRecord res;
    ArgRecord a[3] = {obj(&rec), text("value"), integer(5)};
    rt_CallCommand(&res, cmd_SetAutomationProperty, 3, a);
    EXPECT_EQ(res.type, TYPE_BOOL);
    EXPECT_EQ(res.low, 1u);
    EXPECT_EQ(g_log->flags, DISPATCH_PROPERTYPUT);
    EXPECT_EQ(g_log->argCount, 1u);
    EXPECT_EQ(g_log->namedCount, 1u);
    EXPECT_EQ(g_log->named0, DISPID_PROPERTYPUT);
    EXPECT_EQ(g_log->value, 5);
    // Names bind case-insensitively; the property reads back.
    ArgRecord r = read("VALUE", TYPE_INT, ACCESS_READ);
    EXPECT_EQ(auto_LastStatus(), 0);
    EXPECT_EQ(r.low, 5u);
    EXPECT_EQ(g_log->namedCount, 0u);
}

TEST_F(Automation, FailuresSetTheStatus) {
    AutomationRecord empty{nullptr, nullptr};
    ArgRecord res;
    ArgRecord a[3] = {obj(&empty), text("Value"), integer(5)};
    rt_CallCommand(&res, cmd_SetAutomationProperty, 3, a);
    EXPECT_EQ(res.type, TYPE_BOOL);
    EXPECT_EQ(res.low, 0u);
    EXPECT_EQ(auto_LastStatus(), AS_NO_OBJECT);

    EXPECT_EQ(call("NoSuchMember", {}), AS_NO_MEMBER);
    EXPECT_EQ(call("Fail", {}), -11) << "a failing member reports an exception";
    int before = g_log->calls;
    uint8_t bytes[12] = {1, 0, 0, 0, 4, 0, 0, 0, 1, 2, 3, 4};
    EXPECT_EQ(call("TakeLong", {ArgRecord{(uint32_t)(uintptr_t)bytes, 0, TYPE_BYTES}}), AS_BAD_ARGUMENT);
    EXPECT_EQ(g_log->calls, before) << "an unconvertible argument stops the call";
    EXPECT_EQ(call("TakeLong", {text("not a number")}), -16) << "type mismatch";
    // The status is per thread.
    auto_SetLastStatus(-3);
    HANDLE th = CreateThread(nullptr, 0, statusOfNewThread, nullptr, 0, nullptr);
    WaitForSingleObject(th, 5000);
    DWORD code = 1;
    GetExitCodeThread(th, &code);
    CloseHandle(th);
    EXPECT_EQ(code, 0u);
    // And can be read by the module through its command.
    ArgRecord st;
    rt_CallCommand(&st, vell_library1.commands[CMD_AutomationStatus], 0, nullptr);
    EXPECT_EQ(st.type, TYPE_INT);
    EXPECT_EQ((int32_t)st.low, -3);
}

TEST_F(Automation, OutputParametersAreWrittenBack) {
    int32_t v = 7;
    EXPECT_EQ(call("OutLong", {byAddr(&v, TYPE_INT)}), 0);
    EXPECT_EQ(v, 42);
    EXPECT_EQ(call("InOutLong", {byAddr(&v, TYPE_INT)}), 0);
    EXPECT_EQ(v, 84);
    // Given by value there is no variable to write to.
    EXPECT_EQ(call("InOutLong", {integer(3)}), 0);

    char* s = lib_DupText("中");
    EXPECT_EQ(call("InOutText", {byAddr(&s, TYPE_TEXT)}), 0);
    EXPECT_STREQ(s, "was:中");
    lib_Free(s);

    VARIANT* block = (VARIANT*)lib_Allocate(sizeof(VARIANT));
    VariantInit(block);
    V_VT(block) = VT_I4;
    V_I4(block) = 1;
    EXPECT_EQ(call("TakeVariantRef", {byAddr(&block, TYPE_VARIANT)}), 0);
    EXPECT_EQ(V_VT(block), VT_I4);
    EXPECT_EQ(V_I4(block), 77);
    VariantClear(block);
    lib_Free(block);
}

TEST_F(Automation, ResultsConvertToTheRequestedType) {
    ArgRecord r = read("GetTrue", TYPE_BOOL);
    EXPECT_EQ(auto_LastStatus(), 0);
    EXPECT_EQ(r.low, 1u);
    r = read("GetText", TYPE_TEXT);
    EXPECT_STREQ((const char*)(uintptr_t)r.low, "中文");
    lib_Free((void*)(uintptr_t)r.low);
    r = read("GetSelf", TYPE_AUTOMATION);
    AutomationRecord* self = (AutomationRecord*)(uintptr_t)r.low;
    ASSERT_NE(self, nullptr);
    EXPECT_NE(self->object, nullptr);
    auto_ClearRecord(self);
    lib_Free(self);
    // A result that cannot be converted: status -8 and an empty value.
    r = read("GetSelf", TYPE_INT);
    EXPECT_EQ(auto_LastStatus(), AS_BAD_RESULT);
    EXPECT_EQ(r.low, 0u);
    r = read("NoSuchMember", TYPE_AUTOMATION);
    EXPECT_EQ(auto_LastStatus(), AS_NO_MEMBER);
    ASSERT_NE(r.low, 0u) << "a failed object result is a new empty record";
    EXPECT_EQ(((AutomationRecord*)(uintptr_t)r.low)->object, nullptr);
    lib_Free((void*)(uintptr_t)r.low);
}

TEST_F(Automation, CreationFailuresLeaveTheVariableAlone) {
    AutomationRecord fresh{nullptr, nullptr};
    EXPECT_FALSE(create(&fresh, "Vellumor.NoSuchProgId"));
    EXPECT_EQ(fresh.object, nullptr);
    EXPECT_FALSE(create(&fresh, "{not a class id}"));
    EXPECT_EQ(fresh.object, nullptr);
    IUnknown* held = rec.object;
    EXPECT_FALSE(create(&rec, "Vellumor.NoSuchProgId"));
    EXPECT_EQ(rec.object, held) << "a failed create keeps the previous object";
    // A class id in braces works as well as the program identifier.
    EXPECT_TRUE(create(&fresh, "{ed284dcf-5be1-4553-9110-33905b5a9b1c}"));
    EXPECT_NE(fresh.object, nullptr);
    ArgRecord res, a = obj(&fresh);
    rt_CallCommand(&res, cmd_ClearAutomationObject, 1, &a);
    EXPECT_EQ(fresh.object, nullptr);
    rt_CallCommand(&res, cmd_ClearAutomationObject, 1, &a);  // clearing an empty one does nothing
    EXPECT_EQ(fresh.object, nullptr);
}

TEST_F(Automation, ClassFromATypeLibraryFile) {
    AutomationRecord fresh{nullptr, nullptr};
    std::string lib = selfDir() + "\\vell_recorder.dll";
    ArgRecord res;
    ArgRecord a[3] = {obj(&fresh), text("Recorder"), text(lib.c_str())};
    rt_CallCommand(&res, cmd_CreateAutomationObject, 3, a);
    EXPECT_EQ(res.low, 1u);
    EXPECT_NE(fresh.object, nullptr);
    auto_ClearRecord(&fresh);
}

TEST_F(Automation, ReleaseNotificationClearsARecord) {
    ASSERT_TRUE(create(&other, "Vellumor.Recorder"));
    rt_Notify(NOTE_RELEASE_OBJECT, (uint32_t)(uintptr_t)&other, 0);
    EXPECT_EQ(other.object, nullptr);
}

}  // namespace
