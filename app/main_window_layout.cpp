// The tool's main window as authored: the window, then one row per
// component in table order (entry 1 on top). Data for the window template
// generator (tools/window_template.cpp), which turns it into the block the
// program carries; it is not compiled into the module.
#include "app/main_window.h"
#include "runtime/kind_ids.h"
#include "tools/window_template.h"

namespace {

const char kFace[] = "微软雅黑";
const TgFont kPlain = {-12, 400, kFace}, kBold = {-12, 700, kFace}, kNoFont = {0, 0, nullptr};

const TgBinding kWindowBindings[] = {
    {MAIN_EVENT_CLOSE_QUERY, HandlerOffset(SLOT_CLOSE_REQUESTED)},
    {MAIN_EVENT_FOLDER_DROPPED, HandlerOffset(SLOT_FOLDER_DROPPED)},
};

// The log's context menu (preview, restore, copy, save).
const TgComponentBinding kComponentBindings[] = {
    {ID_LOG, LOG_EVENT_CONTEXT_MENU, HandlerOffset(SLOT_LOG_MENU)},
};

const uint32_t kWhite = 0xFFFFFF, kOwn = TG_KIND_COLOUR, kNone = TG_NO_HANDLER;

const TgComponent kComponents[] = {
    // name, kind, id, left, top, width, height, tab stop, text, font, click
    // handler, background, horizontal alignment, checked
    {"按钮2", KIND_BUTTON, ID_BUTTON_START, 592, 148, 112, 32, true, "一键转码", kBold, HandlerOffset(SLOT_TRANSCODE),
     kOwn, 0, 0},
    {"标签5", KIND_LABEL, ID_STATUS, 8, 466, 696, 31, false, "空闲", {-14, 700, kFace}, kNone, kWhite, 1, 0},
    {"进度条1", KIND_PROGRESS, ID_PROGRESS, 8, 440, 696, 24, false, "", kNoFont, kNone, kOwn, 0, 0},
    {"标签4", KIND_LABEL, ID_LABEL_PROGRESS, 8, 405, 696, 24, false, "处理进度", kPlain, kNone, kWhite, 0, 0},
    {"标签3", KIND_LABEL, ID_LABEL_LOG, 8, 185, 696, 24, false, "日志输出", kPlain, kNone, kWhite, 0, 0},
    {"列表框1", KIND_LISTBOX, ID_LOG, 8, 219, 696, 176, true, "", kNoFont, kNone, kOwn, 0, 0},
    {"选择框1", KIND_CHECKBOX, ID_CHECK_BACKUP, 10, 152, 238, 24, true, "启用文件备份 (将创建源文件的备份文件)",
     kPlain, kNone, kWhite, 0, 1},
    {"编辑框2", KIND_EDIT, ID_EDIT_EXTENSIONS, 8, 112, 696, 32, true, "yml,json,txt,lang,cfg,ini,log,conf,toml",
     kPlain, kNone, kOwn, 0, 0},
    {"标签2", KIND_LABEL, ID_LABEL_EXTENSIONS, 8, 80, 696, 24, false,
     "转码文件类型 使用英文逗号分隔(,) 如果您不知道这是什么 请不要修改", kPlain, kNone, kWhite, 0, 0},
    {"按钮1", KIND_BUTTON, ID_BUTTON_CHOOSE, 595, 40, 112, 32, true, "选择...", kPlain,
     HandlerOffset(SLOT_CHOOSE_FOLDER), kOwn, 0, 0},
    {"编辑框1", KIND_EDIT, ID_EDIT_ROOT, 8, 40, 584, 32, true, "", kPlain, kNone, kOwn, 0, 0},
    {"标签1", KIND_LABEL, ID_LABEL_ROOT, 8, 8, 696, 24, false, "请选择欲转码的服务端根目录 例如 D:\\MyServer", kPlain,
     kNone, kWhite, 0, 0},
};

const TgWindow kMainWindow = {
    MAIN_WINDOW, MAIN_WINDOW_ENTRY, 0x0270E3C8, 0x190121C5, 50, 50, 719, 531, "Vellumor", 0x00FFFFFF,
    kWindowBindings, sizeof kWindowBindings / sizeof kWindowBindings[0],
    kComponents, sizeof kComponents / sizeof kComponents[0],
    kComponentBindings, sizeof kComponentBindings / sizeof kComponentBindings[0],
};

}  // namespace

const TgWindow* const tg_windows[] = {&kMainWindow};
const size_t tg_windowCount = 1;
