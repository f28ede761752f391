#include <gtest/gtest.h>
#include "tests/support/kind_harness.h"
#include "tests/support/pump.h"
#include "commands/library.h"
#include "ui/kinds/common/common.h"
#include "platform/picture.h"
#include "ui/kinds/label/label.h"
#include "tests/support/capture.h"
#include <stdlib.h>
#include <string.h>
#include <vector>

namespace {

const char kDefaultCaption[] = "\xB1\xEA\xC7\xA9";  // "标签" in code page 936

// The tool's status label block: a bold 14-pixel font and the caption "空闲".
std::string statusLabelBlock() {
    ArchiveWriter w;
    aw_Dword(&w, 2);
    const uint32_t words[] = {0, 8, 0, 0x808080, 0xFFFFFF, 0x808080, 0, 0xFFFFFF, 1, 0,
                              0x808080, 0xFFFFFF, 0x808080, 1, 1, 0};
    for (uint32_t v : words) aw_Dword(&w, v);
    LOGFONTA lf = {};
    lf.lfHeight = -14;
    lf.lfWeight = 700;
    strcpy(lf.lfFaceName, "\xCE\xA2\xC8\xED\xD1\xC5\xBA\xDA");  // "微软雅黑"
    aw_Counted(&w, &lf, sizeof lf);
    aw_Counted(&w, nullptr, 0);
    aw_Text(&w, "\xBF\xD5\xCF\xD0");  // "空闲"
    aw_Text(&w, "");
    aw_Text(&w, "");
    return w.out;
}

// A 24-bit bottom-up BMP file of one colour.
std::string bmpFile(int w, int h, COLORREF c) {
    int stride = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + stride * h;
    std::string out((const char*)&fh, sizeof fh);
    out.append((const char*)&ih, sizeof ih);
    std::string row(stride, '\0');
    for (int x = 0; x < w; x++) {
        row[x * 3] = (char)GetBValue(c);
        row[x * 3 + 1] = (char)GetGValue(c);
        row[x * 3 + 2] = (char)GetRValue(c);
    }
    for (int y = 0; y < h; y++) out += row;
    return out;
}

TEST(LabelBlock, EmptyBlockGivesTheDefaults) {
    LabelProps p;
    ASSERT_TRUE(label_ReadBlock(nullptr, 0, &p));
    EXPECT_EQ(kDefaultCaption, p.caption);
    EXPECT_EQ(0, p.border);
    EXPECT_EQ(8, p.frameWidth);
    EXPECT_EQ(UI_COLOUR_BUTTON_FACE, p.background);
    EXPECT_EQ(0u, p.textColour);
    EXPECT_EQ(1, p.pictureMode);
    EXPECT_EQ(0, p.hAlign);
    EXPECT_EQ(1, p.vAlign);
    EXPECT_EQ(0x808080u, p.frame[0]);
    EXPECT_EQ(0xFFFFFFu, p.gradient[1]);
}

TEST(LabelBlock, StatusLabelBlockReadsInFieldOrderAndWritesBackUnchanged) {
    std::string b = statusLabelBlock();
    ASSERT_EQ(152u, b.size());
    LabelProps p;
    ASSERT_TRUE(label_ReadBlock((const uint8_t*)b.data(), (int32_t)b.size(), &p));
    EXPECT_EQ(8, p.frameWidth);  // frame width comes before border
    EXPECT_EQ(0, p.border);
    EXPECT_EQ(0xFFFFFFu, p.background);
    EXPECT_EQ(1, p.hAlign);
    EXPECT_EQ(1, p.vAlign);      // vertical alignment comes before word wrap
    EXPECT_EQ(0, p.wordWrap);
    EXPECT_EQ(60u, p.font.size());
    EXPECT_EQ("\xBF\xD5\xCF\xD0", p.caption);
    ArchiveWriter w;
    label_WriteBlock(p, &w);
    EXPECT_EQ(b, w.out);
}

TEST(LabelBlock, OlderVersionsLackTheBindingTextsAndNewerOnesAreRejected) {
    ArchiveWriter w;
    aw_Dword(&w, 1);
    for (int i = 0; i < 16; i++) aw_Dword(&w, (uint32_t)i);
    aw_Counted(&w, nullptr, 0);
    aw_Counted(&w, nullptr, 0);
    aw_Text(&w, "abc");
    LabelProps p;
    ASSERT_TRUE(label_ReadBlock((const uint8_t*)w.out.data(), (int32_t)w.out.size(), &p));
    EXPECT_EQ("abc", p.caption);
    EXPECT_EQ(0, p.effect);
    EXPECT_EQ(1, p.frameWidth);
    EXPECT_EQ(2, p.border);
    EXPECT_EQ(12u, p.gradient[2]);
    EXPECT_EQ(13, p.hAlign);
    EXPECT_EQ(14, p.vAlign);
    EXPECT_EQ(15, p.wordWrap);
    // The same bytes claiming version 2 run short.
    std::string v2 = w.out;
    v2[0] = 2;
    EXPECT_FALSE(label_ReadBlock((const uint8_t*)v2.data(), (int32_t)v2.size(), &p));
    std::string v3 = statusLabelBlock();
    v3[0] = 3;
    EXPECT_FALSE(label_ReadBlock((const uint8_t*)v3.data(), (int32_t)v3.size(), &p));
    // A counted field running past the end fails too.
    std::string cut = statusLabelBlock().substr(0, 100);
    EXPECT_FALSE(label_ReadBlock((const uint8_t*)cut.data(), (int32_t)cut.size(), &p));
}

TEST(LabelDrawing, FlagsFollowAlignmentAndWordWrap) {
    LabelProps p;
    EXPECT_EQ((UINT)(DT_NOPREFIX | DT_LEFT | DT_SINGLELINE | DT_VCENTER), label_DrawFlags(p));
    p.hAlign = 2;
    p.vAlign = 2;
    EXPECT_EQ((UINT)(DT_NOPREFIX | DT_RIGHT | DT_SINGLELINE | DT_BOTTOM), label_DrawFlags(p));
    p.hAlign = 1;
    p.vAlign = 0;
    p.wordWrap = 1;
    EXPECT_EQ((UINT)(DT_NOPREFIX | DT_CENTER | DT_WORDBREAK | DT_VCENTER), label_DrawFlags(p));
}

TEST(LabelDrawing, GradientRunsThroughEvenlySpacedColours) {
    COLORREF three[3] = {RGB(0, 0, 0), RGB(200, 100, 50), RGB(0, 0, 0)};
    EXPECT_EQ(RGB(0, 0, 0), label_GradientColour(three, 3, 0.0));
    EXPECT_EQ(RGB(200, 100, 50), label_GradientColour(three, 3, 0.5));
    EXPECT_EQ(RGB(100, 50, 25), label_GradientColour(three, 3, 0.25));
    EXPECT_EQ(RGB(0, 0, 0), label_GradientColour(three, 3, 1.0));
    COLORREF two[2] = {RGB(0, 0, 0), RGB(255, 255, 255)};
    EXPECT_EQ(RGB(255, 255, 255), label_GradientColour(two, 2, 1.0));
    // Directions: 1 down, 2 right, 5 up, 6 left, 3 top-left to bottom-right.
    EXPECT_DOUBLE_EQ(0.0, label_GradientT(1, 5, 0, 10, 11));
    EXPECT_DOUBLE_EQ(1.0, label_GradientT(1, 5, 10, 10, 11));
    EXPECT_DOUBLE_EQ(1.0, label_GradientT(2, 9, 3, 10, 11));
    EXPECT_DOUBLE_EQ(1.0, label_GradientT(5, 5, 0, 10, 11));
    EXPECT_DOUBLE_EQ(0.0, label_GradientT(6, 9, 0, 10, 11));
    EXPECT_DOUBLE_EQ(0.0, label_GradientT(3, 0, 0, 10, 11));
    EXPECT_DOUBLE_EQ(1.0, label_GradientT(3, 9, 10, 10, 11));
    EXPECT_DOUBLE_EQ(0.0, label_GradientT(4, 9, 0, 10, 11));
    EXPECT_DOUBLE_EQ(0.0, label_GradientT(7, 9, 10, 10, 11));
    EXPECT_DOUBLE_EQ(0.0, label_GradientT(8, 0, 10, 10, 11));
}

TEST(Picture, BitmapDataDecodesAndGarbageDoesNot) {
    std::string bmp = bmpFile(6, 4, RGB(255, 0, 0));
    Picture* pic = pic_Decode(bmp.data(), (int32_t)bmp.size());
    ASSERT_NE(nullptr, pic);
    EXPECT_EQ(6, pic_Width(pic));
    EXPECT_EQ(4, pic_Height(pic));
    pic_Free(pic);
    EXPECT_EQ(nullptr, pic_Decode("not a picture at all", 20));
    EXPECT_EQ(nullptr, pic_Decode(bmp.data(), 10));
    // Headers intact, pixel rows cut short: refused, not read past the end.
    EXPECT_EQ(nullptr, pic_Decode(bmp.data(), (int32_t)bmp.size() - 10));
    EXPECT_EQ(nullptr, pic_Decode(nullptr, 0));
}

// Renders a label into a 32-bit canvas and reads pixels back.
struct Rendered {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    COLORREF at(int x, int y) const {
        uint32_t v = px[(size_t)y * w + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    // Bounding box of pixels that differ from `bg`.
    bool ink(COLORREF bg, RECT* box) const {
        *box = {w, h, -1, -1};
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                if (at(x, y) != bg) {
                    box->left = std::min<LONG>(box->left, x);
                    box->top = std::min<LONG>(box->top, y);
                    box->right = std::max<LONG>(box->right, x);
                    box->bottom = std::max<LONG>(box->bottom, y);
                }
        return box->right >= 0;
    }
};

Rendered render(ComponentObject* obj) {
    Rendered r;
    RECT c;
    GetClientRect(obj->fw.hwnd, &c);
    r.w = c.right;
    r.h = c.bottom;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = r.w;
    bi.bmiHeader.biHeight = -r.h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    label_Paint((LabelObject*)obj, dc);
    GdiFlush();
    r.px.assign((uint32_t*)bits, (uint32_t*)bits + (size_t)r.w * r.h);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
    ReleaseDC(nullptr, screen);
    return r;
}

class LabelLive : public ::testing::Test {
protected:
    void SetUp() override {
        kh::Install();
        parent = kh::MakeParent(500, 300);
        ASSERT_NE(nullptr, parent);
    }
    void TearDown() override {
        if (parent) DestroyWindow(parent);
        pumpMessages();
    }
    ComponentObject* create(const std::string& b = std::string(), int w = 160, int h = 40, int y = 10,
                            uint32_t component = 0x1601000C, int32_t controlId = 100) {
        return label_Create((const uint8_t*)b.data(), (int32_t)b.size(), WS_VISIBLE, parent, controlId, nullptr,
                            10, y, w, h, 0x52010001, component, 0, 0);
    }
    static int32_t get(ComponentObject* o, int32_t i) { return (int32_t)kh::GetInt(kind_label_iface, o, i); }
    static std::string getText(ComponentObject* o, int32_t i) {
        ValueRecord v{0, 0};
        EXPECT_EQ(1, label_Get(o, i, &v));
        return v.value ? std::string((const char*)(uintptr_t)v.value) : std::string("<null>");
    }
    static void set(ComponentObject* o, int32_t i, int32_t v) { EXPECT_EQ(0, kh::Set(kind_label_iface, o, i, v)); }
    static void setText(ComponentObject* o, int32_t i, const char* s) {
        EXPECT_EQ(0, kh::SetText(kind_label_iface, o, i, s));
    }
    static void setBytes(ComponentObject* o, int32_t i, const std::string& b) {
        EXPECT_EQ(0, kh::SetBytes(kind_label_iface, o, i, b));
    }
    HWND parent = nullptr;
};

TEST_F(LabelLive, EmptyBlockShowsTheDefaultCaptionLeftAndCentredOnButtonFace) {
    ComponentObject* o = create();
    ASSERT_NE(nullptr, o);
    char cls[32] = {}, text[32] = {};
    GetClassNameA(o->fw.hwnd, cls, sizeof cls);
    EXPECT_STREQ("_QX_Label", cls);
    GetWindowTextA(o->fw.hwnd, text, sizeof text);
    EXPECT_STREQ(kDefaultCaption, text);
    EXPECT_EQ(kDefaultCaption, getText(o, LP_CAPTION));
    EXPECT_EQ(0u, (uint32_t)GetWindowLongA(o->fw.hwnd, GWL_EXSTYLE) & UI_BORDER_EX_MASK);
    Rendered r = render(o);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(face, r.at(0, 0));
    EXPECT_EQ(face, r.at(r.w - 1, r.h - 1));
    RECT ink;
    ASSERT_TRUE(r.ink(face, &ink));
    EXPECT_LE(ink.left, 3);                 // left-aligned
    EXPECT_LT(ink.right, r.w / 2);
    int above = ink.top, below = r.h - 1 - ink.bottom;
    EXPECT_LE(abs(above - below), 4);       // vertically centred
    EXPECT_GT(above, 5);
}

TEST_F(LabelLive, WritesClampAsTheTableSays) {
    ComponentObject* o = create();
    ASSERT_NE(nullptr, o);
    const struct { int32_t index, written, read; } writes[] = {
        {LP_FRAME_WIDTH, 1, 5}, {LP_FRAME_WIDTH, 12, 12}, {LP_BORDER, 9, 6}, {LP_BORDER, -2, 0},
        {LP_EFFECT, 4, 3}, {LP_PICTURE_MODE, 3, 2}, {LP_GRADIENT_MODE, 9, 8}, {LP_HALIGN, -1, 0},
        {LP_VALIGN, 5, 2}, {LP_TEXT_COLOUR, (int32_t)0xFF000000, (int32_t)0xFF000000},
    };
    for (const auto& w : writes) {
        set(o, w.index, w.written);
        EXPECT_EQ(w.read, get(o, w.index)) << w.index << " written " << w.written;
    }
    ValueRecord v{0, 0};
    EXPECT_EQ(0, label_Get(o, LP_COUNT, &v));
}

TEST_F(LabelLive, BorderStylesAreAppliedAndSixRemovesThem) {
    ComponentObject* o = create();
    ASSERT_NE(nullptr, o);
    set(o, LP_BORDER, 1);
    EXPECT_EQ((uint32_t)WS_EX_CLIENTEDGE, (uint32_t)GetWindowLongA(o->fw.hwnd, GWL_EXSTYLE) & UI_BORDER_EX_MASK);
    set(o, LP_BORDER, 5);
    EXPECT_EQ(WS_BORDER, GetWindowLongA(o->fw.hwnd, GWL_STYLE) & WS_BORDER);
    set(o, LP_BORDER, 6);
    EXPECT_EQ(0, GetWindowLongA(o->fw.hwnd, GWL_STYLE) & WS_BORDER);
    EXPECT_EQ(0u, (uint32_t)GetWindowLongA(o->fw.hwnd, GWL_EXSTYLE) & UI_BORDER_EX_MASK);
}

TEST_F(LabelLive, GradientFrameNeedsTwoColoursAndShrinksTheTextArea) {
    ComponentObject* o = create();
    ASSERT_NE(nullptr, o);
    setText(o, LP_CAPTION, "");
    set(o, LP_BACKGROUND, 0x0000FF);
    set(o, LP_BORDER, 6);
    set(o, LP_FRAME_WIDTH, 6);
    Rendered r = render(o);
    EXPECT_EQ(RGB(0x80, 0x80, 0x80), r.at(0, 0));          // outer edge: colour 1
    EXPECT_EQ(RGB(0x80, 0x80, 0x80), r.at(r.w / 2, 5));    // inner edge: colour 3
    EXPECT_EQ(RGB(0xFF, 0, 0), r.at(6, 6));                // inside: background
    // With only one usable colour nothing is painted and nothing shrinks.
    set(o, LP_FRAME1, (int32_t)0xFF000000);
    set(o, LP_FRAME3, (int32_t)0xFF000000);
    r = render(o);
    EXPECT_EQ(RGB(0xFF, 0, 0), r.at(0, 0));
    EXPECT_EQ(RGB(0xFF, 0, 0), r.at(r.w / 2, 3));
}

TEST_F(LabelLive, GradientFillNeedsTwoUsableColours) {
    ComponentObject* o = create(std::string(), 100, 50);
    ASSERT_NE(nullptr, o);
    setText(o, LP_CAPTION, "");
    set(o, LP_BACKGROUND, 0x123456);
    set(o, LP_GRADIENT_MODE, 3);
    set(o, LP_GRADIENT1, (int32_t)0xFF000000);
    set(o, LP_GRADIENT2, (int32_t)0xFF000000);
    set(o, LP_GRADIENT3, 0x00FF00);
    Rendered r = render(o);
    EXPECT_EQ(RGB(0x56, 0x34, 0x12), r.at(0, 0));
    EXPECT_EQ(RGB(0x56, 0x34, 0x12), r.at(99, 49));
    set(o, LP_GRADIENT1, 0x000000);
    set(o, LP_GRADIENT_MODE, 1);
    r = render(o);
    EXPECT_EQ(RGB(0, 0, 0), r.at(50, 0));
    EXPECT_EQ(RGB(0, 0xFF, 0), r.at(50, 49));
    EXPECT_EQ(r.at(0, 20), r.at(99, 20));  // top to bottom: rows are even
}

TEST_F(LabelLive, CaptionReadsBackByteForByteAndAmpersandsAreLiteral) {
    ComponentObject* o = create(std::string(), 300, 40);
    ASSERT_NE(nullptr, o);
    const char gbk[] = "\xD7\xAA\xC2\xEB 100% & done";
    setText(o, LP_CAPTION, gbk);
    EXPECT_EQ(std::string(gbk), getText(o, LP_CAPTION));
    setText(o, LP_CAPTION, nullptr);
    EXPECT_EQ("", getText(o, LP_CAPTION));
    // "&&&&" is four glyphs wide when drawn literally (two with prefixes).
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    RECT four, two;
    setText(o, LP_CAPTION, "&&&&");
    ASSERT_TRUE(render(o).ink(face, &four));
    setText(o, LP_CAPTION, "&&");
    ASSERT_TRUE(render(o).ink(face, &two));
    int wFour = four.right - four.left + 1, wTwo = two.right - two.left + 1;
    EXPECT_GT(wFour, wTwo * 3 / 2);
}

// A status line rewritten once per file paints at most once a frame and
// then shows the last caption like a label given it once.
TEST_F(LabelLive, BurstOfCaptionsEndsShowingTheLastOne) {
    ComponentObject *paced = create(), *once = create(std::string(), 160, 40, 60, 0x1601000D, 101);
    ASSERT_TRUE(paced && once);
    capture::PumpFor(3 * UI_PACE_FRAME_MS);
    char text[64];
    for (int i = 1; i <= 300; i++) {
        snprintf(text, sizeof text, "转换 已完成:%d 共计:300", i);
        setText(paced, LP_CAPTION, text);
        if (i % 30 == 0) pumpMessages();
    }
    // After a quiet spell the first write paints, the next one waits.
    capture::PumpFor(3 * UI_PACE_FRAME_MS);
    setText(paced, LP_CAPTION, "空闲");
    UpdateWindow(paced->fw.hwnd);
    setText(paced, LP_CAPTION, text);
    EXPECT_EQ(std::string(text), getText(paced, LP_CAPTION));
    // What another program asks the window is the caption at once; the
    // window's own copy follows within the frame.
    char asked[64] = {};
    SendMessageA(paced->fw.hwnd, WM_GETTEXT, sizeof asked, (LPARAM)asked);
    EXPECT_STREQ(text, asked);
    EXPECT_EQ((LRESULT)strlen(text), SendMessageA(paced->fw.hwnd, WM_GETTEXTLENGTH, 0, 0));
    setText(once, LP_CAPTION, text);
    capture::PumpFor(3 * UI_PACE_FRAME_MS);
    WCHAR own[64] = {}, expected[64] = {};
    InternalGetWindowText(paced->fw.hwnd, own, 64);
    MultiByteToWideChar(CP_ACP, 0, text, -1, expected, 64);
    EXPECT_STREQ(expected, own);
    std::vector<uint32_t> a = capture::Window(paced->fw.hwnd), b = capture::Window(once->fw.hwnd);
    ASSERT_FALSE(a.empty());
    EXPECT_TRUE(a == b) << "the label does not show its last caption";
}

TEST_F(LabelLive, AlignmentAndWordWrapMoveTheText) {
    ComponentObject* o = create(std::string(), 200, 60);
    ASSERT_NE(nullptr, o);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    setText(o, LP_CAPTION, "Right");
    set(o, LP_HALIGN, 2);
    set(o, LP_VALIGN, 0);
    RECT ink;
    ASSERT_TRUE(render(o).ink(face, &ink));
    EXPECT_GE(ink.right, 195);
    EXPECT_LE(ink.top, 4);
    set(o, LP_VALIGN, 2);
    ASSERT_TRUE(render(o).ink(face, &ink));
    EXPECT_GE(ink.bottom, 55);
    // Word wrap ignores the vertical alignment and starts at the top.
    set(o, LP_WORD_WRAP, 1);
    ASSERT_TRUE(render(o).ink(face, &ink));
    EXPECT_LE(ink.top, 4);
}

TEST_F(LabelLive, PicturesDrawByModeAndUndecodableOnesAreSkipped) {
    ComponentObject* o = create(std::string(), 40, 30);
    ASSERT_NE(nullptr, o);
    setText(o, LP_CAPTION, "");
    set(o, LP_BACKGROUND, 0xFFFFFF);
    setBytes(o, LP_PICTURE, bmpFile(8, 8, RGB(255, 0, 0)));
    set(o, LP_PICTURE_MODE, 0);
    Rendered r = render(o);
    EXPECT_EQ(RGB(255, 0, 0), r.at(0, 0));
    EXPECT_EQ(RGB(255, 0, 0), r.at(7, 7));
    EXPECT_EQ(RGB(255, 255, 255), r.at(20, 20));
    set(o, LP_PICTURE_MODE, 1);
    r = render(o);
    EXPECT_EQ(RGB(255, 0, 0), r.at(39, 29));
    set(o, LP_PICTURE_MODE, 2);
    r = render(o);
    EXPECT_EQ(RGB(255, 0, 0), r.at(20, 15));
    EXPECT_EQ(RGB(255, 255, 255), r.at(0, 0));
    // Too large for the label: shrunk by the smaller ratio, kept centred.
    setBytes(o, LP_PICTURE, bmpFile(80, 30, RGB(0, 0, 255)));
    r = render(o);
    EXPECT_EQ(RGB(0, 0, 255), r.at(0, 15));
    EXPECT_EQ(RGB(255, 255, 255), r.at(20, 2));
    setBytes(o, LP_PICTURE, std::string("BM garbage that is no bitmap"));
    r = render(o);
    EXPECT_EQ(RGB(255, 255, 255), r.at(0, 0));
    ValueRecord v{0, 0};
    ASSERT_EQ(1, label_Get(o, LP_PICTURE, &v));
    EXPECT_EQ(28u, v.length);
}

TEST_F(LabelLive, FontByteSetsFollowTheFontRule) {
    ComponentObject* o = create(statusLabelBlock());
    ASSERT_NE(nullptr, o);
    ValueRecord v{0, 0};
    ASSERT_EQ(1, label_Get(o, LP_FONT, &v));
    EXPECT_EQ(60u, v.length);
    LOGFONTA lf;
    ASSERT_TRUE(ui_FontRuleLogFont((const void*)(uintptr_t)v.value, 60, &lf));
    EXPECT_EQ(DEFAULT_CHARSET, lf.lfCharSet);
    EXPECT_EQ(PROOF_QUALITY, lf.lfQuality);
    EXPECT_EQ(-14, lf.lfHeight);
    EXPECT_EQ(700, lf.lfWeight);
    EXPECT_FALSE(ui_FontRuleLogFont((const void*)(uintptr_t)v.value, 59, &lf));
    // A wrong-length set falls back to the default GUI font; an empty one reads as null.
    setBytes(o, LP_FONT, std::string(12, 'x'));
    EXPECT_EQ((HFONT)GetStockObject(DEFAULT_GUI_FONT), ((LabelObject*)o)->font.handle);
    ValueRecord none{0, 0};
    EXPECT_EQ(0, label_Set(o, LP_FONT, &none, 0));
    ASSERT_EQ(1, label_Get(o, LP_FONT, &v));
    EXPECT_EQ(0u, v.value);
    EXPECT_EQ(0u, v.length);
}

TEST_F(LabelLive, DataBindingWritesEmptyTheCaption) {
    ComponentObject* o = create();
    ASSERT_NE(nullptr, o);
    setText(o, LP_DATA_SOURCE, "");
    EXPECT_EQ("", getText(o, LP_CAPTION));
    EXPECT_EQ(0, GetWindowTextLengthA(o->fw.hwnd));
    setText(o, LP_CAPTION, "x");
    setText(o, LP_DATA_COLUMN, "name");
    EXPECT_EQ("", getText(o, LP_CAPTION));
    EXPECT_EQ("name", getText(o, LP_DATA_COLUMN));
}

TEST_F(LabelLive, MessageRaisesEventZeroWithItsParametersAndResult) {
    ComponentObject* o = create();
    ASSERT_NE(nullptr, o);
    EXPECT_EQ(0, SendMessageA(o->fw.hwnd, UI_MSG_LABEL_CLICK, 7, 9));
    ASSERT_EQ(1u, kh::events.size());
    const EventRecord& e = kh::events[0];
    EXPECT_EQ(0x52010001u, e.window);
    EXPECT_EQ(0x1601000Cu, e.component);
    EXPECT_EQ(0, e.event);
    EXPECT_EQ(2, e.argc);
    EXPECT_EQ(7u, e.args[0]);
    EXPECT_EQ(9u, e.args[1]);
    kh::handler = [](const EventRecord&, int32_t* result) { *result = 42; return true; };
    EXPECT_EQ(42, SendMessageA(o->fw.hwnd, UI_MSG_LABEL_CLICK, 0, 0));
    EXPECT_EQ(o, ui_ObjectFromHandle(o->fw.hwnd));
}

TEST_F(LabelLive, BlockWrittenFromALiveLabelRecreatesIt) {
    ComponentObject* o = create();
    ASSERT_NE(nullptr, o);
    setText(o, LP_CAPTION, "again");
    set(o, LP_GRADIENT_MODE, 4);
    ComponentObject* copy = create(kh::WriteBlock(kind_label_iface, o));
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ("again", getText(copy, LP_CAPTION));
    EXPECT_EQ(4, get(copy, LP_GRADIENT_MODE));
    ArchiveWriter bad;
    aw_Dword(&bad, 3);
    EXPECT_EQ(nullptr, create(bad.out));
}

TEST_F(LabelLive, DestroyReportsTheComponent) {
    ComponentObject* o = create();
    ASSERT_NE(nullptr, o);
    EXPECT_EQ(std::make_pair(0x52010001u, 0x1601000Cu), kh::DestroyAndReport(o));
}

}  // namespace

// ---- labels on a window loaded through the loader ----
#include "runtime/rt.h"
#include "ui/dispatch/dispatch.h"
#include "ui/loader/loader.h"
#include "ui/kinds/window/window_block.h"
#include "ui/template/template.h"

namespace {

const uint32_t kShowWindow = 0x52010001, kShowEntry = 0x06010000;

TplComponent labelEntry(int32_t left, int32_t top, int32_t width, int32_t height, const LabelProps& lb) {
    return kh::Component(KIND_LABEL, left, top, width, height, TPL_STATE_VISIBLE, ui_BlockBytes(label_Block, lb));
}

// Writes the screen area of a window as a 24-bit BMP file.
bool saveWindowShot(HWND h, const char* path) {
    RECT r;
    GetWindowRect(h, &r);
    int w = r.right - r.left, ht = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = ht;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, ht, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    int stride = (w * 3 + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + stride * ht;
    bool ok = false;
    if (FILE* f = fopen(path, "wb")) {
        ok = fwrite(&fh, sizeof fh, 1, f) == 1 && fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
             fwrite(bits, (size_t)stride * ht, 1, f) == 1;
        fclose(f);
    }
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

class LabelWindow : public ::testing::Test {
protected:
    void SetUp() override { kh::UseProgramKinds(); }
    void TearDown() override {
        ui_ClearRegistry();
        pumpMessages();
        kh::Install();
    }
    void load(const std::vector<TplComponent>& comps, int32_t width = 520, int32_t height = 300) {
        WindowProps wb;
        wb.position = 0;
        wb.title = "\xB1\xEA\xC7\xA9";
        TplComponent win =
            kh::Component(KIND_WINDOW, 20, 20, width, height, TPL_STATE_VISIBLE, ui_BlockBytes(window_Block, wb));
        ASSERT_TRUE(kh::LoadStartWindow(kShowWindow, kh::Entries(win, comps, kShowEntry), nullptr));
        record = ui_FindWindow(kShowWindow);
        ASSERT_NE(nullptr, record);
    }
    UiWindowRecord* record = nullptr;
};

TEST_F(LabelWindow, CaptionThroughPropertyAccessIsByteExact) {
    LabelProps lb;
    load({labelEntry(10, 10, 200, 30, lb)});
    const uint32_t id = 0x16010002;
    char* first = (char*)(uintptr_t)ui_ReadProperty(kShowWindow, id, 8, -1);
    ASSERT_NE(nullptr, first);
    EXPECT_STREQ(kDefaultCaption, first);
    rt_Free(first);
    const char text[] = "\xD5\xFD\xD4\xDA\xD7\xAA\xC2\xEB & 50%";  // "正在转码 & 50%"
    ui_WriteProperty(kShowWindow, id, 8, -1, (uint32_t)(uintptr_t)text, 0);
    char* back = (char*)(uintptr_t)ui_ReadProperty(kShowWindow, id, 8, -1);
    ASSERT_NE(nullptr, back);
    EXPECT_EQ(std::string(text), std::string(back));
    rt_Free(back);
    ui_WriteProperty(kShowWindow, id, 11, -1, 1, 0);  // frame width
    EXPECT_EQ(5u, (uint32_t)ui_ReadProperty(kShowWindow, id, 11, -1));
    ui_WriteProperty(kShowWindow, id, 10, -1, 9, 0);  // border
    EXPECT_EQ(6u, (uint32_t)ui_ReadProperty(kShowWindow, id, 10, -1));
}

// A window of several labels for a person to look at: saved as a BMP in the
// artifacts folder; with VELL_SHOT_HOLD_MS set it stays up that long so an
// outside screenshot (xwd) can catch it.
TEST_F(LabelWindow, ShowcaseForAScreenshot) {
    std::vector<TplComponent> comps;
    const char* names[3] = {"\xD7\xF3\xB6\xD4\xC6\xEB", "\xBE\xD3\xD6\xD0", "\xD3\xD2\xB6\xD4\xC6\xEB"};
    for (int i = 0; i < 3; i++) {
        LabelProps lb;
        lb.hAlign = i;
        lb.background = 0xFFFFFF;
        lb.border = 1;
        lb.caption = names[i];  // 左对齐 居中 右对齐
        comps.push_back(labelEntry(10, 10 + i * 34, 240, 28, lb));
    }
    LabelProps frame;
    frame.border = 6, frame.frameWidth = 8, frame.hAlign = 1;
    frame.caption = "\xBD\xA5\xB1\xE4\xB1\xDF\xBF\xF2 & border 6";  // 渐变边框
    comps.push_back(labelEntry(260, 10, 240, 96, frame));
    LabelProps grad;
    grad.gradientMode = 2, grad.hAlign = 1, grad.effect = 3, grad.textColour = 0xFFFFFF;
    grad.gradient[0] = 0xC08040, grad.gradient[1] = 0xFFFFFF, grad.gradient[2] = 0x4080C0;
    grad.caption = "\xBD\xA5\xB1\xE4\xB1\xB3\xBE\xB0 gradient";  // 渐变背景
    comps.push_back(labelEntry(10, 116, 490, 50, grad));
    LabelProps status;
    status.background = 0xFFFFFF;
    status.hAlign = 1;
    UiLogFont f;
    f.height = -14;
    f.weight = 700;
    f.face = "\xCE\xA2\xC8\xED\xD1\xC5\xBA\xDA";
    status.font = ui_FontBytes(f);
    status.caption = "\xBF\xD5\xCF\xD0";  // 空闲
    comps.push_back(labelEntry(10, 176, 490, 30, status));
    LabelProps wrap;
    wrap.wordWrap = 1;
    wrap.caption = "word wrap: a long caption that runs over more than one line of this label";
    comps.push_back(labelEntry(10, 214, 300, 40, wrap));
    load(comps);
    ComponentObject* win = ui_WindowObject(record);
    ASSERT_NE(nullptr, win);
    EXPECT_TRUE(IsWindowVisible(win->fw.hwnd));
    RedrawWindow(win->fw.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pumpMessages();
    CreateDirectoryA("artifacts", nullptr);
    EXPECT_TRUE(saveWindowShot(win->fw.hwnd, "artifacts\\label_window.bmp"));
    if (const char* hold = getenv("VELL_SHOT_HOLD_MS")) {
        DWORD until = GetTickCount() + (DWORD)atoi(hold);
        while ((int32_t)(until - GetTickCount()) > 0) {
            pumpMessages();
            Sleep(20);
        }
    }
    // What the person will see: the frame label's corner has the frame colour.
    ComponentObject* frameLabel = ui_LiveObject(record, 4);
    ASSERT_NE(nullptr, frameLabel);
    Rendered r = render(frameLabel);
    EXPECT_EQ(RGB(0x80, 0x80, 0x80), r.at(0, 0));
}

}  // namespace
