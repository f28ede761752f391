// Each kind's block code, built for the build host (it has no Win32 in
// it): every field in its place in each version, defaults, refusals.
#include <stdio.h>
#include <string.h>
#include "ui/kinds/button/button_block.h"
#include "ui/kinds/edit/edit_block.h"
#include "ui/kinds/label/label_block.h"
#include "ui/kinds/listbox/listbox_block.h"
#include "ui/kinds/progress/progress_block.h"
#include "ui/kinds/window/window_block.h"

static int g_failures;
#define CHECK(c) ((c) ? (void)0 : (void)(g_failures++, fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #c)))

template <class R>
static std::string bytes(const UiBlockCode<R>& code, const R& p, uint32_t version) {
    ArchiveWriter w;
    ui_WriteBlock(code, p, &w, version);
    return w.out;
}
template <class R>
static bool read(const UiBlockCode<R>& code, const std::string& b, R* out) {
    return ui_ReadBlock(code, (const uint8_t*)b.data(), (int32_t)b.size(), out);
}

// A block always reads back what was written; one version too new, a
// missing last byte or a truncated version word fail and give defaults.
template <class R>
static void refusals(const UiBlockCode<R>& code, const R& p, bool (*same)(const R&, const R&)) {
    std::string b = bytes(code, p, code.version);
    R back;
    CHECK(read(code, b, &back) && same(back, p));
    CHECK(bytes(code, back, code.version) == b);
    std::string newer = b;
    newer[0] = (char)(code.version + 1);
    CHECK(!read(code, newer, &back) && same(back, code.defaults()));
    CHECK(!read(code, b.substr(0, b.size() - 1), &back));
    CHECK(!read(code, b.substr(0, 3), &back));
    CHECK(read(code, std::string(), &back) && same(back, code.defaults()));
}

static bool sameWindow(const WindowProps& a, const WindowProps& b) {
    return a.title == b.title && a.border == b.border && a.colour == b.colour && a.layout == b.layout &&
           a.sound == b.sound && a.position == b.position && a.inTaskbar == b.inTaskbar && a.shape == b.shape &&
           a.topmost == b.topmost && a.flag30 == b.flag30 && a.className == b.className && a.helpFile == b.helpFile;
}

static void windowVersions() {
    WindowProps p;
    p.border = 5, p.layout = 3, p.colour = 0x123456, p.inTaskbar = 0, p.dragAnywhere = 1, p.shape = 2;
    p.topmost = 1, p.flag30 = 1, p.className = "Cls", p.title = "T", p.helpFile = "h", p.sound = "SND";
    refusals(window_Block, p, sameWindow);
    for (uint32_t v = 1; v <= 6; v++) {
        WindowProps back;
        CHECK(read(window_Block, bytes(window_Block, p, v), &back));
        // Fields of later versions keep their defaults in older blocks.
        CHECK(back.inTaskbar == (v > 1 ? 0 : 1));
        CHECK(back.shape == (v > 2 ? 2 : 0));
        CHECK(back.topmost == (v > 3 ? 1 : 0));
        CHECK(back.flag30 == (v > 4 ? 1 : 0));
        CHECK(back.className == (v == 6 ? "Cls" : ""));
        CHECK(back.title == "T" && back.sound == "SND" && back.colour == 0x123456u);
    }
    // Texts end at their first zero byte; byte sets keep every byte.
    p.title = std::string("ab\0cd", 5);
    p.sound = std::string("x\0y", 3);
    WindowProps back;
    CHECK(read(window_Block, bytes(window_Block, p, 6), &back) && back.title == "ab" && back.sound.size() == 3);
}

static void editAndLabel() {
    EditProps e;
    e.passwordChar = '#', e.spinMax = 9, e.content = "c", e.dataColumn = "col";
    std::string b = bytes(edit_Block, e, 2);
    CHECK(b.size() == 4 + 9 * 4 + 2 + 6 * 4 + 4 * 4 + 1 + 3);
    CHECK(b[40] == '#' && b[41] == 0);  // the 16-bit field after nine DWORDs
    EditProps back;
    CHECK(read(edit_Block, b, &back) && back.passwordChar == '#' && back.spinMax == 9 && back.dataColumn == "col");
    CHECK(read(edit_Block, bytes(edit_Block, e, 1), &back) && back.content == "c" && back.dataColumn.empty());
    CHECK(!read(edit_Block, b.substr(0, 41), &back));  // half a 16-bit field
    LabelProps l;
    l.frame[2] = 7, l.gradient[0] = 9, l.caption = std::string("a\0b", 3), l.dataSource = "s";
    LabelProps lb;
    CHECK(read(label_Block, bytes(label_Block, l, 2), &lb));
    CHECK(lb.frame[2] == 7 && lb.gradient[0] == 9 && lb.caption == "a" && lb.dataSource == "s");
    CHECK(read(label_Block, bytes(label_Block, l, 1), &lb) && lb.dataSource.empty());
}

static void listAndButtons() {
    ListBoxProps l;
    l.items = {"one", "", "three"}, l.current = 2, l.listFlag = 1, l.dataSource = "d";
    ListBoxProps back;
    CHECK(read(listbox_Block, bytes(listbox_Block, l, 3), &back) && back.items == l.items && back.listFlag == 1);
    CHECK(read(listbox_Block, bytes(listbox_Block, l, 2), &back) && back.listFlag == 0 && back.dataSource == "d");
    CHECK(read(listbox_Block, bytes(listbox_Block, l, 1), &back) && back.dataSource.empty());
    // An item count the data does not hold fails.
    std::string b = bytes(listbox_Block, l, 3);
    b[4 + 8 * 4 + 8] = 9;
    CHECK(!read(listbox_Block, b, &back));
    ButtonProps p;
    CHECK(read(button_Block, std::string(), &p) && p.caption == "按钮" && p.hAlign == 1);
    CHECK(read(checkbox_Block, std::string(), &p) && p.caption == "选择框" && p.hAlign == 0);
    p.checked = 1, p.dataColumn = "c";
    ButtonProps c;
    CHECK(read(checkbox_Block, bytes(checkbox_Block, p, 2), &c) && c.checked == 1 && c.dataColumn == "c");
    CHECK(bytes(button_Block, p, 1).size() == 4 + 3 * 4 + 4 + 4 + 4 + p.caption.size());
    ProgressProps g;
    CHECK(bytes(progress_Block, g, 1).size() == PROGRESS_BLOCK_SIZE);
}

static void fonts() {
    UiLogFont f;
    f.height = -12, f.weight = 700, f.charSet = 134, f.face = std::string(40, 'x');
    std::string b = ui_FontBytes(f);
    CHECK(b.size() == UI_LOGFONT_SIZE);
    UiLogFont back;
    CHECK(ui_FontFromBytes(b.data(), (uint32_t)b.size(), &back));
    CHECK(back.height == -12 && back.weight == 700 && back.charSet == 134 && back.face == std::string(31, 'x'));
    CHECK(!ui_FontFromBytes(b.data(), 59, &back));
}

int main() {
    windowVersions();
    editAndLabel();
    listAndButtons();
    fonts();
    if (g_failures) fprintf(stderr, "%d check(s) failed\n", g_failures);
    else printf("kind blocks: all checks passed\n");
    return g_failures ? 1 : 0;
}
