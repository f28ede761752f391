// The tool's main window, as authored: one row per component in table order
// (entry 1 on top), turned into the window template block at build time.
//
// Usage: main_window <output.cpp>
// Writes a source defining vell_main_template / vell_main_template_size.
#include <stdio.h>
#include <string>
#include <vector>
#include "ui/template/template.h"
#include "ui/kinds/button/button_block.h"
#include "ui/kinds/edit/edit_block.h"
#include "ui/kinds/label/label_block.h"
#include "ui/kinds/window/window_block.h"

namespace {

enum : uint32_t {
    WINDOW_ID = 0x52010001, WINDOW_ENTRY = 0x06010000,
    K_WINDOW = 0x00010001, K_EDIT = 0x00010005, K_LABEL = 0x0001000A, K_BUTTON = 0x0001000B,
    K_CHECKBOX = 0x0001000C, K_LISTBOX = 0x0001000F, K_PROGRESS = 0x00010013,
};

// Handler slots of the module's handler table: byte offsets from its start.
enum : uint32_t {
    H_NONE = 0xFFFFFFFF, H_CHOOSE_FOLDER = 0, H_TRANSCODE = 4, H_CLOSE_REQUESTED = 8, H_FOLDER_DROPPED = 12,
};
// The window's close query (event 12): refused while a job runs.
const int32_t EVENT_CLOSE_QUERY = 12;
// A folder dropped on the window (event 13) fills the root box.
const int32_t EVENT_FOLDER_DROPPED = 13;

struct Row {
    const char* name;
    uint32_t kind;
    uint32_t id;
    int32_t left, top, width, height;
    bool tabStop;
    const char* text;       // caption / content
    int32_t fontHeight;     // 0: no font stored (empty kind block)
    int32_t fontWeight;
    uint32_t clickHandler;  // event 0
    int32_t hAlign;         // labels only
};

const Row kRows[] = {
    {"按钮2", K_BUTTON, 0x1601000E, 592, 148, 112, 32, true, "一键转码", -12, 700, H_TRANSCODE, 0},
    {"标签5", K_LABEL, 0x1601000C, 8, 466, 696, 31, false, "空闲", -14, 700, H_NONE, 1},
    {"进度条1", K_PROGRESS, 0x1601000B, 8, 440, 696, 24, false, "", 0, 0, H_NONE, 0},
    {"标签4", K_LABEL, 0x1601000A, 8, 405, 696, 24, false, "处理进度", -12, 400, H_NONE, 0},
    {"标签3", K_LABEL, 0x16010009, 8, 185, 696, 24, false, "日志输出", -12, 400, H_NONE, 0},
    {"列表框1", K_LISTBOX, 0x16010008, 8, 219, 696, 176, true, "", 0, 0, H_NONE, 0},
    {"选择框1", K_CHECKBOX, 0x16010007, 10, 152, 238, 24, true,
     "启用文件备份 (将创建源文件的备份文件)", -12, 400, H_NONE, 0},
    {"编辑框2", K_EDIT, 0x16010006, 8, 112, 696, 32, true,
     "yml,json,txt,lang,cfg,ini,log,conf,toml", -12, 400, H_NONE, 0},
    {"标签2", K_LABEL, 0x16010005, 8, 80, 696, 24, false,
     "转码文件类型 使用英文逗号分隔(,) 如果您不知道这是什么 请不要修改", -12, 400, H_NONE, 0},
    {"按钮1", K_BUTTON, 0x16010004, 595, 40, 112, 32, true, "选择...", -12, 400, H_CHOOSE_FOLDER, 0},
    {"编辑框1", K_EDIT, 0x16010003, 8, 40, 584, 32, true, "", -12, 400, H_NONE, 0},
    {"标签1", K_LABEL, 0x16010002, 8, 8, 696, 24, false,
     "请选择欲转码的服务端根目录 例如 D:\\MyServer", -12, 400, H_NONE, 0},
};

std::string font(int32_t height, int32_t weight) {
    UiLogFont f;
    f.height = height;
    f.weight = weight;
    f.charSet = 134;
    f.outPrecision = 3;
    f.clipPrecision = 2;
    f.quality = 1;
    f.pitchAndFamily = 34;
    f.face = "微软雅黑";
    return ui_FontBytes(f);
}

// Each kind's defaults, with the font, the text and what the window sets
// apart from them.
std::string kindBlock(const Row& r) {
    std::string f = font(r.fontHeight, r.fontWeight);
    switch (r.kind) {
    case K_BUTTON: {
        ButtonProps b;
        b.font = f, b.caption = r.text;
        return ui_BlockBytes(button_Block, b);
    }
    case K_LABEL: {
        LabelProps b;
        b.background = 0xFFFFFF, b.hAlign = r.hAlign, b.font = f, b.caption = r.text;
        return ui_BlockBytes(label_Block, b);
    }
    case K_CHECKBOX: {
        ButtonProps b = checkbox_Defaults();
        b.backColour = 0xFFFFFF, b.checked = 1, b.font = f, b.caption = r.text;
        return ui_BlockBytes(checkbox_Block, b);
    }
    case K_EDIT: {
        EditProps b;
        b.font = f, b.content = r.text;
        return ui_BlockBytes(edit_Block, b);
    }
    default:
        return std::string();  // list box, progress bar: the kind's defaults
    }
}

TplComponent component(const Row& r) {
    TplComponent c;
    c.kindId = r.kind;
    c.name = r.name;
    c.left = r.left;
    c.top = r.top;
    c.width = r.width;
    c.height = r.height;
    c.stateFlags = TPL_STATE_VISIBLE | (r.tabStop ? (uint32_t)TPL_STATE_TABSTOP : 0u);
    if (r.clickHandler != H_NONE) c.bindings.push_back(TplBinding{0, r.clickHandler});
    c.kindBlock = kindBlock(r);
    return c;
}

TplBlock mainTemplate() {
    WindowProps wb;
    wb.colour = 0x00FFFFFF;
    wb.title = "Vellumor";

    TplComponent w;
    w.kindId = K_WINDOW;
    w.left = 50;
    w.top = 50;
    w.width = 719;
    w.height = 531;
    w.stateFlags = TPL_STATE_VISIBLE;
    w.bindings.push_back(TplBinding{EVENT_CLOSE_QUERY, H_CLOSE_REQUESTED});
    w.bindings.push_back(TplBinding{EVENT_FOLDER_DROPPED, H_FOLDER_DROPPED});
    w.kindBlock = ui_BlockBytes(window_Block, wb);

    std::vector<TplEntry> entries;
    entries.push_back(TplEntry{WINDOW_ENTRY, tpl_EncodeComponent(w)});
    for (const Row& r : kRows) entries.push_back(TplEntry{r.id, tpl_EncodeComponent(component(r))});

    TplWindow win;
    win.id = WINDOW_ID;
    win.valueA = 0x0270E3C8;
    win.valueB = 0x190121C5;
    win.table = tpl_BuildTable(entries);
    TplBlock b;
    b.windows.push_back(win);
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s <output.cpp>\n", argv[0]);
        return 2;
    }
    std::string block = tpl_WriteBlock(mainTemplate());
    TplBlock check;
    if (!tpl_ReadBlock(block.data(), block.size(), &check) || tpl_WriteBlock(check) != block) {
        fprintf(stderr, "main window template does not read back\n");
        return 1;
    }
    std::string out =
        "// Generated at build time from tools/main_window.cpp; not to be edited.\n"
        "extern \"C\" const unsigned char vell_main_template[];\n"
        "extern \"C\" const unsigned int vell_main_template_size;\n"
        "const unsigned char vell_main_template[" + std::to_string(block.size()) + "] = {";
    for (size_t i = 0; i < block.size(); i++) {
        if (i % 16 == 0) out += "\n   ";
        char hex[8];
        snprintf(hex, sizeof hex, " 0x%02X,", (unsigned char)block[i]);
        out += hex;
    }
    out += "\n};\nconst unsigned int vell_main_template_size = " + std::to_string(block.size()) + ";\n";
    FILE* f = fopen(argv[1], "wb");
    if (!f || fwrite(out.data(), 1, out.size(), f) != out.size() || fclose(f) != 0) {
        fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
