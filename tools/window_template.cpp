// The window template generator: turns the windows a layout source
// describes (tools/window_template.h) into the template block, with each
// kind's own block code, and writes it as a C++ source.
//
// Usage: window_template <output.cpp> <symbol>
// Writes a source defining <symbol> and <symbol>_size.
#include <stdio.h>
#include <string>
#include <vector>
#include "runtime/kind_ids.h"
#include "tools/window_template.h"
#include "ui/template/template.h"
#include "ui/kinds/button/button_block.h"
#include "ui/kinds/edit/edit_block.h"
#include "ui/kinds/label/label_block.h"
#include "ui/kinds/window/window_block.h"

namespace {

std::string font(const TgFont& f) {
    UiLogFont lf;
    lf.height = f.height;
    lf.weight = f.weight;
    lf.charSet = 134;
    lf.outPrecision = 3;
    lf.clipPrecision = 2;
    lf.quality = 1;
    lf.pitchAndFamily = 34;
    lf.face = f.face;
    return ui_FontBytes(lf);
}

// A kind's record with the row's text and font, as its block.
template <class P>
std::string withText(const UiBlockCode<P>& code, P b, std::string P::*text, const TgComponent& r) {
    if (r.font.height) b.font = font(r.font);
    b.*text = r.text;
    return ui_BlockBytes(code, b);
}

// The kind's defaults with what the row sets apart from them; kinds the
// rows say nothing of keep an empty block.
std::string kindBlock(const TgComponent& r) {
    switch (r.kind) {
    case KIND_BUTTON: return withText(button_Block, ButtonProps(), &ButtonProps::caption, r);
    case KIND_EDIT: return withText(edit_Block, EditProps(), &EditProps::content, r);
    case KIND_LABEL: {
        LabelProps b;
        if (r.background != TG_KIND_COLOUR) b.background = r.background;
        b.hAlign = r.hAlign;
        return withText(label_Block, b, &LabelProps::caption, r);
    }
    case KIND_CHECKBOX: {
        ButtonProps b = checkbox_Defaults();
        if (r.background != TG_KIND_COLOUR) b.backColour = r.background;
        b.checked = r.checked;
        return withText(checkbox_Block, b, &ButtonProps::caption, r);
    }
    default:
        return std::string();
    }
}

TplComponent component(const TgWindow& d, const TgComponent& r) {
    TplComponent c;
    c.kindId = r.kind;
    c.name = r.name;
    c.left = r.left;
    c.top = r.top;
    c.width = r.width;
    c.height = r.height;
    c.stateFlags = TPL_STATE_VISIBLE | (r.tabStop ? (uint32_t)TPL_STATE_TABSTOP : 0u);
    if (r.clickHandler != TG_NO_HANDLER) c.bindings.push_back(TplBinding{0, r.clickHandler});
    for (size_t i = 0; i < d.componentBindingCount; i++)
        if (d.componentBindings[i].component == r.id)
            c.bindings.push_back(TplBinding{d.componentBindings[i].event, d.componentBindings[i].handler});
    c.kindBlock = kindBlock(r);
    return c;
}

TplWindow window(const TgWindow& d) {
    WindowProps wb;
    wb.colour = d.colour;
    wb.title = d.title;
    TplComponent w;
    w.kindId = KIND_WINDOW;
    w.left = d.left;
    w.top = d.top;
    w.width = d.width;
    w.height = d.height;
    w.stateFlags = TPL_STATE_VISIBLE;
    for (size_t i = 0; i < d.bindingCount; i++)
        w.bindings.push_back(TplBinding{d.bindings[i].event, d.bindings[i].handler});
    w.kindBlock = ui_BlockBytes(window_Block, wb);

    std::vector<TplEntry> entries;
    entries.push_back(TplEntry{d.entryId, tpl_EncodeComponent(w)});
    for (size_t i = 0; i < d.componentCount; i++)
        entries.push_back(TplEntry{d.components[i].id, tpl_EncodeComponent(component(d, d.components[i]))});
    TplWindow win;
    win.id = d.id;
    win.valueA = d.valueA;
    win.valueB = d.valueB;
    win.table = tpl_BuildTable(entries);
    return win;
}

std::string source(const std::string& symbol, const std::string& block) {
    std::string size = std::to_string(block.size());
    std::string out = "// Generated at build time by the window template generator; not to be edited.\n"
                      "extern \"C\" const unsigned char " + symbol + "[];\n"
                      "extern \"C\" const unsigned int " + symbol + "_size;\n"
                      "const unsigned char " + symbol + "[" + size + "] = {";
    for (size_t i = 0; i < block.size(); i++) {
        if (i % 16 == 0) out += "\n   ";
        char hex[8];
        snprintf(hex, sizeof hex, " 0x%02X,", (unsigned char)block[i]);
        out += hex;
    }
    return out + "\n};\nconst unsigned int " + symbol + "_size = " + size + ";\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s <output.cpp> <symbol>\n", argv[0]);
        return 2;
    }
    TplBlock b;
    for (size_t i = 0; i < tg_windowCount; i++) b.windows.push_back(window(*tg_windows[i]));
    std::string block = tpl_WriteBlock(b);
    TplBlock check;
    if (!tpl_ReadBlock(block.data(), block.size(), &check) || tpl_WriteBlock(check) != block) {
        fprintf(stderr, "the window template does not read back\n");
        return 1;
    }
    std::string out = source(argv[2], block);
    FILE* f = fopen(argv[1], "wb");
    if (!f || fwrite(out.data(), 1, out.size(), f) != out.size() || fclose(f) != 0) {
        fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
