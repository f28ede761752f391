// The tool's start window from the program's own template, loaded by the
// loader with the real kinds, and worked through the runtime's property
// access, event dispatch and list box commands.
#include <gtest/gtest.h>
#include <string.h>
#include "app/main_window.h"
#include "commands/library.h"
#include "runtime/rt.h"
#include "ui/dispatch/dispatch.h"
#include "ui/kinds/button/button.h"
#include "ui/kinds/listbox/listbox.h"
#include "ui/loader/loader.h"
#include "tests/support/drop.h"
#include "tests/support/pump.h"
#include "ui/scale.h"
#include <thread>
#include <vector>
#include "app/app.h"
#include "app/job.h"

extern "C" const unsigned char vell_main_template[];
extern "C" const unsigned int vell_main_template_size;

namespace {


int g_calls[16];
template <int N>
int32_t handler(int32_t, const uint32_t*, int32_t* returned) {
    g_calls[N]++;
    *returned = 0;
    return 0;
}
// The module's handler table stand-in, one handler a slot (app/main_window.h).
// A drop reaches the module's own handler: it writes through the runtime.
EventHandler g_slots[16] = {handler<0>, handler<1>, handler<2>,  FolderDropped,  LogMenuRequested,  handler<5>,
                            handler<6>, handler<7>, handler<8>,  handler<9>,  handler<10>, handler<11>,
                            handler<12>, handler<13>, handler<14>, handler<15>};

void pump() { pumpMessages(); }

ComponentObject* object(uint32_t component) {
    UiWindowRecord* w = ui_FindWindow(MAIN_WINDOW);
    if (!w) return nullptr;
    int32_t i = ui_FindEntry(w, component);
    return i > 0 ? ui_LiveObject(w, i) : nullptr;
}
HWND handle(uint32_t component) {
    ComponentObject* o = object(component);
    return o ? o->fw.hwnd : nullptr;
}

std::string readText(uint32_t component, int32_t prop) {
    char* t = (char*)(uintptr_t)(uint32_t)ui_ReadProperty(MAIN_WINDOW, component, prop, -1);
    std::string s = t ? t : "<null>";
    rt_Free(t);
    return s;
}
uint32_t readInt(uint32_t component, int32_t prop) {
    return (uint32_t)ui_ReadProperty(MAIN_WINDOW, component, prop, -1);
}

int32_t insert(int32_t position, const char* text) {
    ArgRecord args[3] = {{MAIN_WINDOW, ID_LOG, KIND_LISTBOX}, {(uint32_t)position, 0, TYPE_INT},
                         {(uint32_t)(uintptr_t)text, 0, TYPE_TEXT}};
    ArgRecord result = {0, 0, 0};
    cmd_ListBoxInsertItem(&result, 3, args);
    return (int32_t)result.low;
}

class MainWindow : public ::testing::Test {
protected:
    // Loads the window with a stand-in screen DPI (0: the screen's own).
    static void load(int32_t dpi) {
        ui_SetNativeDpi(dpi);
        static const LibraryRecord* libs[1] = {&vell_library1};
        g_rt.libraries = libs;
        g_rt.libraryCount = 1;
        ui_InstallWindowLayer();
        lib_notify = rt_Notify;
        ASSERT_TRUE(ui_LoadTemplates(vell_main_template, vell_main_template_size, g_slots));
        ASSERT_TRUE(ui_LoadStartWindow(MAIN_WINDOW));
        pump();
    }
    static void SetUpTestSuite() { load(0); }
    static void TearDownTestSuite() {
        ui_ClearRegistry();
        pump();
        ui_SetNativeDpi(0);
    }
    void SetUp() override { memset(g_calls, 0, sizeof g_calls); }
};

// The layout in template units: left, top, width, height.
const struct { uint32_t id, kind; int32_t rect[4]; } kLayout[] = {
    {ID_BUTTON_START, KIND_BUTTON, {592, 148, 112, 32}},   {ID_STATUS, KIND_LABEL, {8, 466, 696, 31}},
    {ID_PROGRESS, KIND_PROGRESS, {8, 440, 696, 24}},  {ID_LABEL_PROGRESS, KIND_LABEL, {8, 405, 696, 24}},
    {ID_LABEL_LOG, KIND_LABEL, {8, 185, 696, 24}},       {ID_LOG, KIND_LISTBOX, {8, 219, 696, 176}},
    {ID_CHECK_BACKUP, KIND_CHECKBOX, {10, 152, 238, 24}},   {ID_EDIT_EXTENSIONS, KIND_EDIT, {8, 112, 696, 32}},
    {ID_LABEL_EXTENSIONS, KIND_LABEL, {8, 80, 696, 24}},        {ID_BUTTON_CHOOSE, KIND_BUTTON, {595, 40, 112, 32}},
    {ID_EDIT_ROOT, KIND_EDIT, {8, 40, 584, 32}},           {ID_LABEL_ROOT, KIND_LABEL, {8, 8, 696, 24}},
};

RECT nativeRect(uint32_t component) {
    RECT rc;
    GetWindowRect(handle(component), &rc);
    MapWindowPoints(nullptr, GetParent(handle(component)), (POINT*)&rc, 2);
    return rc;
}

TEST_F(MainWindow, AllTwelveComponentsAreLiveWithTheirKinds) {
    HWND main = ui_WindowObject(ui_FindWindow(MAIN_WINDOW))->fw.hwnd;
    for (const auto& r : kLayout) {
        ComponentObject* o = object(r.id);
        ASSERT_NE(o, nullptr) << std::hex << r.id;
        EXPECT_EQ(o->kindId, r.kind) << std::hex << r.id;
        EXPECT_TRUE(IsWindowVisible(o->fw.hwnd)) << std::hex << r.id;
        EXPECT_EQ(GetParent(o->fw.hwnd), main);
        RECT rc;
        GetWindowRect(o->fw.hwnd, &rc);
        MapWindowPoints(nullptr, main, (POINT*)&rc, 2);
        EXPECT_EQ(rc.left, r.rect[0]) << std::hex << r.id;
        EXPECT_EQ(rc.top, r.rect[1]) << std::hex << r.id;
        EXPECT_EQ(rc.right - rc.left, r.rect[2]) << std::hex << r.id;
        EXPECT_EQ(rc.bottom - rc.top, r.rect[3]) << std::hex << r.id;
    }
    // Control ids follow creation order, the last entry first.
    EXPECT_EQ(GetDlgCtrlID(handle(ID_EDIT_ROOT)), 110);
    EXPECT_EQ(GetDlgCtrlID(handle(ID_BUTTON_START)), 210);
}

TEST_F(MainWindow, StartUpValuesReadThroughTheRuntime) {
    EXPECT_EQ(readText(ID_EDIT_ROOT, 8), "<null>");
    EXPECT_EQ(readText(ID_EDIT_EXTENSIONS, 8), "yml,json,txt,lang,cfg,ini,log,conf,toml");
    EXPECT_EQ(readInt(ID_CHECK_BACKUP, 18), 1u);
    EXPECT_EQ(readText(ID_CHECK_BACKUP, 11), "启用文件备份 (将创建源文件的备份文件)");
    EXPECT_EQ(readText(ID_BUTTON_START, 10), "一键转码");
    EXPECT_EQ(readText(ID_BUTTON_CHOOSE, 10), "选择...");
    EXPECT_EQ(readInt(ID_BUTTON_START, 9), 0u);
    EXPECT_EQ(readInt(ID_LOG, 16), (uint32_t)-1);
    EXPECT_EQ(readInt(ID_LOG, 8), 1u);
    EXPECT_EQ(readInt(ID_EDIT_EXTENSIONS, 11), 0xFFFFFFu);  // background colour
    EXPECT_EQ((uint32_t)ui_ReadProperty(MAIN_WINDOW, ID_BUTTON_START, 13, 1), 1u);  // bold
    KindIsDefaultFn isDefault = (KindIsDefaultFn)kind_button_iface(KI_IS_DEFAULT_BUTTON);
    EXPECT_EQ(isDefault(object(ID_BUTTON_CHOOSE)), 0);
    EXPECT_EQ(isDefault(object(ID_BUTTON_START)), 0);
}

TEST_F(MainWindow, ButtonClicksReachTheBoundHandlers) {
    SendMessageA(handle(ID_BUTTON_CHOOSE), BM_CLICK, 0, 0);
    pump();
    EXPECT_EQ(g_calls[SLOT_CHOOSE_FOLDER], 1);
    SendMessageA(handle(ID_BUTTON_START), BM_CLICK, 0, 0);
    pump();
    EXPECT_EQ(g_calls[SLOT_TRANSCODE], 1);
}

TEST_F(MainWindow, UntickingTheBackupBoxReadsZero) {
    ASSERT_EQ(readInt(ID_CHECK_BACKUP, 18), 1u);
    SendMessageA(handle(ID_CHECK_BACKUP), BM_CLICK, 0, 0);
    pump();
    EXPECT_EQ(readInt(ID_CHECK_BACKUP, 18), 0u);
    SendMessageA(handle(ID_CHECK_BACKUP), BM_CLICK, 0, 0);
    EXPECT_EQ(readInt(ID_CHECK_BACKUP, 18), 1u);
}

TEST_F(MainWindow, ContentWrittenByTheModuleReadsBack) {
    const char path[] = "D:\\服务端";
    ui_WriteProperty(MAIN_WINDOW, ID_EDIT_ROOT, 8, -1, (uint32_t)(uintptr_t)path, 0);
    EXPECT_EQ(readText(ID_EDIT_ROOT, 8), path);
    ui_WriteProperty(MAIN_WINDOW, ID_EDIT_ROOT, 8, -1, 0, 0);
    EXPECT_EQ(readText(ID_EDIT_ROOT, 8), "<null>");
}

TEST_F(MainWindow, LogCommandsAndRecreation) {
    HWND log = handle(ID_LOG);
    EXPECT_EQ(insert(0, "a"), 0);
    EXPECT_EQ(insert(0, "b"), 0);
    EXPECT_EQ(insert(0, "c"), 0);
    char first[8] = {0};
    SendMessageA(log, LB_GETTEXT, 0, (LPARAM)first);
    EXPECT_STREQ(first, "c");
    // The stored (initial) list is still empty.
    void* items = (void*)(uintptr_t)(uint32_t)ui_ReadProperty(MAIN_WINDOW, ID_LOG, 17, -1);
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(rt_ByteSetLength(items), 2);
    rt_Free(items);
    ArgRecord args[1] = {{MAIN_WINDOW, ID_LOG, KIND_LISTBOX}};
    ArgRecord none = {0, 0, 0};
    cmd_ListBoxClear(&none, 1, args);
    EXPECT_EQ(SendMessageA(log, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(readInt(ID_LOG, 16), (uint32_t)-1);

    // Writing `sorted` makes the runtime re-create the list from its stored
    // properties: inserted lines are gone.
    insert(0, "z");
    ui_WriteProperty(MAIN_WINDOW, ID_LOG, 9, -1, 1, 0);
    pump();
    HWND fresh = handle(ID_LOG);
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, log);
    EXPECT_FALSE(IsWindow(log));
    EXPECT_TRUE(GetWindowLongA(fresh, GWL_STYLE) & LBS_SORT);
    EXPECT_EQ(SendMessageA(fresh, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(GetDlgCtrlID(fresh), 160);
    EXPECT_EQ(insert(0, "again"), 0);
    ui_WriteProperty(MAIN_WINDOW, ID_LOG, 9, -1, 0, 0);
    pump();
}

// The drop on the window reaches the root box through the module's handler,
// and not while a job has the picker's button disabled.
TEST_F(MainWindow, ADroppedFolderFillsTheRootBoxUnlessAJobRuns) {
    HWND main = ui_WindowObject(ui_FindWindow(MAIN_WINDOW))->fw.hwnd;
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder = self;
    folder.resize(folder.rfind('\\'));
    SendMessageA(main, WM_DROPFILES, (WPARAM)dropOf({folder}), 0);
    EXPECT_EQ(readText(ID_EDIT_ROOT, 8), folder);
    ui_WriteProperty(MAIN_WINDOW, ID_EDIT_ROOT, 8, -1, 0, 0);
    ui_WriteProperty(MAIN_WINDOW, ID_BUTTON_CHOOSE, 6, -1, 1, 0);
    SendMessageA(main, WM_DROPFILES, (WPARAM)dropOf({folder}), 0);
    EXPECT_EQ(readText(ID_EDIT_ROOT, 8), "<null>");
    ui_WriteProperty(MAIN_WINDOW, ID_BUTTON_CHOOSE, 6, -1, 0, 0);
}

// The log's menu as the module builds it, read by a helper thread while the
// menu is open and then closed with Esc: its lines and which are greyed.
struct MenuLine {
    std::string text;
    bool greyed;
    bool operator==(const MenuLine& o) const { return text == o.text && greyed == o.greyed; }
};
void PrintTo(const MenuLine& l, std::ostream* os) { *os << l.text << (l.greyed ? " (greyed)" : ""); }

// The three ways a user asks for the menu.
enum Ask { RIGHT_CLICK, MENU_KEY, SHIFT_F10 };

std::vector<MenuLine> logMenuLines(Ask ask) {
    std::vector<MenuLine> lines;
    std::thread reader([&lines] {
        HWND popup = nullptr;
        for (int i = 0; i < 250 && !popup; i++) {
            while ((popup = FindWindowExA(nullptr, popup, "#32768", nullptr)) && !IsWindowVisible(popup)) {}
            if (!popup) Sleep(20);
        }
        if (!popup) return;
        HMENU menu = (HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0);
        for (int i = 0; i < GetMenuItemCount(menu); i++) {
            char text[128] = {};
            GetMenuStringA(menu, (UINT)i, text, sizeof text, MF_BYPOSITION);
            // A separator reads as greyed too: it is never chosen.
            UINT state = GetMenuState(menu, (UINT)i, MF_BYPOSITION);
            lines.push_back({text, !(state & MF_SEPARATOR) && (state & MF_GRAYED)});
        }
        PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 1);
    });
    HWND log = handle(ID_LOG);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = ask == SHIFT_F10 ? 0x80 : 0;
    SetKeyboardState(keys);
    if (ask == RIGHT_CLICK) SendMessageA(log, WM_CONTEXTMENU, (WPARAM)log, MAKELPARAM(100, 300));
    else if (ask == MENU_KEY) SendMessageA(log, WM_KEYDOWN, VK_APPS, 1);
    else SendMessageA(log, WM_SYSKEYDOWN, VK_F10, 1);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    reader.join();
    pump();
    return lines;
}

TEST_F(MainWindow, TheLogMenuGreysWhatCannotRun) {
    ASSERT_EQ(SendMessageA(handle(ID_LOG), LB_GETCOUNT, 0, 0), 0);
    const std::vector<MenuLine> idle = {
        {"预览 (不写入)", true}, {"还原备份...", true}, {"", false}, {"复制日志", true}, {"保存日志...", true}};
    EXPECT_EQ(logMenuLines(RIGHT_CLICK), idle) << "no folder, no log";
    ui_WriteProperty(MAIN_WINDOW, ID_EDIT_ROOT, 8, -1, (uint32_t)(uintptr_t)"C:\\server", 0);
    insert(0, "搜索带转码文件...");
    const std::vector<MenuLine> ready = {
        {"预览 (不写入)", false}, {"还原备份...", false}, {"", false}, {"复制日志", false}, {"保存日志...", false}};
    EXPECT_EQ(logMenuLines(MENU_KEY), ready) << "opened by the menu key";
    // While a job runs: only the copy.
    static std::vector<MenuLine> during;
    RunWindowJob([] { during = logMenuLines(SHIFT_F10); });
    const std::vector<MenuLine> running = {
        {"预览 (不写入)", true}, {"还原备份...", true}, {"", false}, {"复制日志", false}, {"保存日志...", true}};
    EXPECT_EQ(during, running);
    SendMessageA(handle(ID_LOG), LB_RESETCONTENT, 0, 0);
    ui_WriteProperty(MAIN_WINDOW, ID_EDIT_ROOT, 8, -1, 0, 0);
}

// On a screen of 144 DPI the native window is half again as large, and the
// module still reads and writes the template's units.
class ScaledMainWindow : public MainWindow {
protected:
    static void SetUpTestSuite() { load(144); }
};

TEST_F(ScaledMainWindow, NativeRectanglesScaleAndPropertiesKeepTemplateUnits) {
    for (const auto& r : kLayout) {
        RECT rc = nativeRect(r.id);
        const int32_t native[4] = {rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
        for (int32_t p = 0; p < 4; p++) {
            EXPECT_EQ(native[p], MulDiv(r.rect[p], 3, 2)) << std::hex << r.id << " property " << p;
            EXPECT_EQ(readInt(r.id, p), (uint32_t)r.rect[p]) << std::hex << r.id << " property " << p;
        }
    }
    HWND main = ui_WindowObject(ui_FindWindow(MAIN_WINDOW))->fw.hwnd;
    RECT client;
    GetClientRect(main, &client);
    EXPECT_GE(client.right, MulDiv(704, 3, 2)) << "nothing clipped on the right";
    EXPECT_GE(client.bottom, MulDiv(497, 3, 2)) << "nothing clipped below";
    // Fonts drawn half again as tall; their size still reads in points.
    LOGFONTA lf;
    GetObjectA((HFONT)SendMessageA(handle(ID_BUTTON_START), WM_GETFONT, 0, 0), sizeof lf, &lf);
    EXPECT_EQ(lf.lfHeight, -18);
    EXPECT_EQ((uint32_t)ui_ReadProperty(MAIN_WINDOW, ID_BUTTON_START, 13, 5), 9u);
    // A write takes template units.
    ui_WriteProperty(MAIN_WINDOW, ID_STATUS, 1, -1, 460, 0);
    EXPECT_EQ(nativeRect(ID_STATUS).top, 690);
    EXPECT_EQ(readInt(ID_STATUS, 1), 460u);
    ui_WriteProperty(MAIN_WINDOW, ID_STATUS, 1, -1, 466, 0);
}

}  // namespace
