#include <gtest/gtest.h>
#include <string.h>
#include "tests/support/kind_harness.h"
#include "ui/kinds/button/button.h"
#include "ui/kinds/button/picture.h"

namespace {

const char kCheckCaption[] = "启用文件备份 (将创建源文件的备份文件)";

std::string buttonBlock(uint32_t version, uint32_t def, uint32_t h, uint32_t v, const std::string& picture,
                        const std::string& font, const std::string& caption) {
    ArchiveWriter w;
    aw_Dword(&w, version);
    aw_Dword(&w, def);
    aw_Dword(&w, h);
    aw_Dword(&w, v);
    aw_Counted(&w, picture.data(), (uint32_t)picture.size());
    aw_Counted(&w, font.data(), (uint32_t)font.size());
    aw_Text(&w, caption);
    return w.out;
}

std::string checkBlock(uint32_t version, uint32_t checked, const std::string& font, const std::string& caption,
                       uint32_t back = 0xFFFFFF, const std::string& picture = std::string()) {
    ArchiveWriter w;
    aw_Dword(&w, version);
    aw_Dword(&w, 0);  // push-like
    aw_Dword(&w, 0);  // flat
    aw_Dword(&w, 0);  // text on left
    aw_Dword(&w, 0);  // horizontal alignment
    aw_Dword(&w, 1);  // vertical alignment
    aw_Dword(&w, 0);  // text colour
    aw_Dword(&w, back);
    aw_Dword(&w, checked);
    aw_Counted(&w, picture.data(), (uint32_t)picture.size());
    aw_Counted(&w, font.data(), (uint32_t)font.size());
    aw_Text(&w, caption);
    if (version == 2) {
        aw_Text(&w, "");
        aw_Text(&w, "");
    }
    return w.out;
}

// A 2x2 24-bit bitmap file.
std::string bmpFile() {
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    const int rowBytes = 8;  // 2 pixels * 3 bytes, padded to 4
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + rowBytes * 2;
    ih.biSize = sizeof ih;
    ih.biWidth = 2;
    ih.biHeight = 2;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    std::string s((const char*)&fh, sizeof fh);
    s.append((const char*)&ih, sizeof ih);
    s.append(std::string(rowBytes * 2, '\x7f'));
    return s;
}

// A 16x16 32-bit icon file with one image.
std::string icoFile() {
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = 16;
    ih.biHeight = 32;  // colour and mask
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    std::string image((const char*)&ih, sizeof ih);
    image.append(std::string(16 * 16 * 4, '\x40'));
    image.append(std::string(16 * 4, '\0'));  // AND mask, 4 bytes per row
    uint8_t head[22] = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0};
    uint32_t size = (uint32_t)image.size(), offset = 22;
    memcpy(head + 14, &size, 4);
    memcpy(head + 18, &offset, 4);
    return std::string((const char*)head, sizeof head) + image;
}

uint32_t styleOf(ComponentObject* obj) { return (uint32_t)GetWindowLongA(obj->fw.hwnd, GWL_STYLE); }

class ButtonKind : public ::testing::Test {
protected:
    void SetUp() override { kh::Install(); }
    KindInterface button = kind_button_iface;
    KindInterface check = kind_checkbox_iface;
};

TEST_F(ButtonKind, EmptyBlockGivesCentredDefaultCaptionNotDefault) {
    ComponentObject* b = kh::Create(button, "");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(kh::WindowText(b->fw.hwnd), "按钮");
    EXPECT_EQ(kh::GetText(button, b, BUTTON_CAPTION), "按钮");
    uint32_t st = styleOf(b);
    EXPECT_EQ(st & 0xF00u, (uint32_t)(BS_CENTER | BS_VCENTER));
    EXPECT_TRUE(st & BS_MULTILINE);
    EXPECT_EQ(st & 0xFu, (uint32_t)BS_PUSHBUTTON);
    EXPECT_EQ((HGDIOBJ)SendMessageA(b->fw.hwnd, WM_GETFONT, 0, 0), GetStockObject(DEFAULT_GUI_FONT));
    auto isDefault = (KindIsDefaultFn)button(KI_IS_DEFAULT_BUTTON);
    ASSERT_NE(isDefault, nullptr);
    EXPECT_EQ(isDefault(b), 0);
    EXPECT_EQ(isDefault(nullptr), 0);
    kh::Destroy(b);
    ASSERT_EQ(kh::destroyed.size(), 1u);
    EXPECT_EQ(kh::destroyed[0].first, kh::kWindowId);
}

TEST_F(ButtonKind, DefaultButtonClampsAndAnswersInterface10) {
    ComponentObject* b = kh::Create(button, "");
    ASSERT_NE(b, nullptr);
    auto isDefault = (KindIsDefaultFn)button(KI_IS_DEFAULT_BUTTON);
    EXPECT_EQ(kh::Set(button, b, BUTTON_DEFAULT, 5), 0);
    EXPECT_EQ(kh::GetInt(button, b, BUTTON_DEFAULT), 1u);
    EXPECT_EQ(styleOf(b) & 0xFu, (uint32_t)BS_DEFPUSHBUTTON);
    EXPECT_EQ(isDefault(b), 1);
    kh::Set(button, b, BUTTON_DEFAULT, 0);
    EXPECT_EQ(isDefault(b), 0);
    EXPECT_EQ(kh::GetInt(button, b, BUTTON_DEFAULT), 0u);
    kh::Destroy(b);
}

TEST_F(ButtonKind, ToolBlockReadsAndWritesBackByteForByte) {
    std::string font = kh::Logfont("微软雅黑", -12, 700);
    std::string block = buttonBlock(1, 0, 1, 1, "", font, "一键转码");
    EXPECT_EQ(block.size(), 96u);
    ComponentObject* b = kh::Create(button, block, WS_TABSTOP);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(kh::WindowText(b->fw.hwnd), "一键转码");
    EXPECT_EQ(kh::GetBytes(button, b, BUTTON_FONT), font);
    EXPECT_EQ(kh::GetBytes(button, b, BUTTON_PICTURE), "");
    EXPECT_TRUE(styleOf(b) & WS_TABSTOP);
    HFONT f = (HFONT)SendMessageA(b->fw.hwnd, WM_GETFONT, 0, 0);
    LOGFONTA lf;
    ASSERT_TRUE(GetObjectA(f, sizeof lf, &lf));
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(kh::WriteBlock(button, b), block);
    kh::Destroy(b);
}

TEST_F(ButtonKind, RejectsNewerAndTruncatedBlocks) {
    std::string block = buttonBlock(2, 0, 1, 1, "", "", "x");
    EXPECT_EQ(kh::Create(button, block), nullptr);
    block = buttonBlock(1, 0, 1, 1, "", "", "abc");
    EXPECT_EQ(kh::Create(button, block.substr(0, block.size() - 1)), nullptr);
    EXPECT_EQ(kh::Create(button, block.substr(0, 3)), nullptr);
    ComponentObject* b = kh::Create(button, buttonBlock(0, 0, 1, 1, "", "", "v0"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(kh::WindowText(b->fw.hwnd), "v0");
    kh::Destroy(b);
}

TEST_F(ButtonKind, AlignmentWritesClampAndRestyle) {
    ComponentObject* b = kh::Create(button, "");
    ASSERT_NE(b, nullptr);
    kh::Set(button, b, BUTTON_HALIGN, 7);
    EXPECT_EQ(kh::GetInt(button, b, BUTTON_HALIGN), 2u);
    EXPECT_EQ(styleOf(b) & 0x300u, (uint32_t)BS_RIGHT);
    kh::Set(button, b, BUTTON_HALIGN, 0);
    EXPECT_EQ(styleOf(b) & 0x300u, (uint32_t)BS_LEFT);
    kh::Set(button, b, BUTTON_VALIGN, 0);
    EXPECT_EQ(styleOf(b) & 0xC00u, (uint32_t)BS_TOP);
    kh::Set(button, b, BUTTON_VALIGN, 2);
    EXPECT_EQ(styleOf(b) & 0xC00u, (uint32_t)BS_BOTTOM);
    EXPECT_TRUE(styleOf(b) & BS_MULTILINE);
    kh::SetText(button, b, BUTTON_CAPTION, "选择...");
    EXPECT_EQ(kh::WindowText(b->fw.hwnd), "选择...");
    kh::Destroy(b);
}

TEST_F(ButtonKind, PictureWriteAsksForRecreationAndShowsBitmapOrIcon) {
    ComponentObject* b = kh::Create(button, buttonBlock(1, 1, 1, 1, "", "", "pic"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(kh::SetBytes(button, b, BUTTON_PICTURE, bmpFile()), 1);
    b = kh::Recreate(button, b);
    ASSERT_NE(b, nullptr);
    uint32_t st = styleOf(b);
    EXPECT_TRUE(st & BS_BITMAP);
    EXPECT_EQ(st & 0x7Fu, (uint32_t)BS_DEFPUSHBUTTON);  // low byte: default bit and BS_BITMAP only
    EXPECT_NE(SendMessageA(b->fw.hwnd, BM_GETIMAGE, IMAGE_BITMAP, 0), 0);

    EXPECT_EQ(kh::SetBytes(button, b, BUTTON_PICTURE, icoFile()), 1);
    b = kh::Recreate(button, b);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(styleOf(b) & BS_ICON);
    EXPECT_NE(SendMessageA(b->fw.hwnd, BM_GETIMAGE, IMAGE_ICON, 0), 0);

    // Bytes that are no picture are dropped: the caption shows.
    EXPECT_EQ(kh::SetBytes(button, b, BUTTON_PICTURE, "not a picture at all"), 1);
    b = kh::Recreate(button, b);
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(styleOf(b) & (BS_ICON | BS_BITMAP));
    EXPECT_EQ(kh::WindowText(b->fw.hwnd), "pic");
    EXPECT_EQ(kh::GetBytes(button, b, BUTTON_PICTURE), "not a picture at all");
    kh::Destroy(b);
}

TEST(Picture, DecodesIconBitmapAndRejectsBrokenData) {
    KbPicture p = kb_DecodePicture(bmpFile().data(), (int32_t)bmpFile().size(), 0xFFFFFF);
    EXPECT_EQ(p.kind, KB_PICTURE_BITMAP);
    BITMAP bm;
    ASSERT_TRUE(GetObjectA(p.bitmap, sizeof bm, &bm));
    EXPECT_EQ(bm.bmWidth, 2);
    kb_ReleasePicture(&p);
    std::string ico = icoFile();
    p = kb_DecodePicture(ico.data(), (int32_t)ico.size(), 0);
    EXPECT_EQ(p.kind, KB_PICTURE_ICON);
    kb_ReleasePicture(&p);
    // A directory that points past the data decodes to nothing.
    std::string bad = ico.substr(0, 30);
    p = kb_DecodePicture(bad.data(), (int32_t)bad.size(), 0);
    EXPECT_EQ(p.kind, KB_PICTURE_NONE);
    p = kb_DecodePicture(nullptr, 0, 0);
    EXPECT_EQ(p.kind, KB_PICTURE_NONE);
}

TEST_F(ButtonKind, ClickAndFocusRaiseEvents) {
    ComponentObject* b = kh::Create(button, "", 0, 10, 10, 120, 30, 0x1601000E);
    ASSERT_NE(b, nullptr);
    SendMessageA(b->fw.hwnd, BM_CLICK, 0, 0);
    kh::Pump();
    ASSERT_EQ(kh::CountEvents(0), 1);
    EXPECT_EQ(kh::events[0].window, kh::kWindowId);
    EXPECT_EQ(kh::events[0].component, 0x1601000Eu);
    EXPECT_EQ(kh::events[0].argc, 0);
    SetFocus(kh::Parent());
    kh::events.clear();
    SetFocus(b->fw.hwnd);
    EXPECT_EQ(GetFocus(), b->fw.hwnd);
    EXPECT_EQ(kh::CountEvents(-7), 1);
    SetFocus(kh::Parent());
    EXPECT_EQ(kh::CountEvents(-8), 1);
    kh::Destroy(b);
}

TEST_F(ButtonKind, CheckBoxEmptyBlockDefaults) {
    ComponentObject* c = kh::Create(check, "");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(kh::WindowText(c->fw.hwnd), "选择框");
    uint32_t st = styleOf(c);
    EXPECT_EQ(st & 0xFu, (uint32_t)BS_AUTOCHECKBOX);
    EXPECT_EQ(st & 0xF00u, (uint32_t)(BS_LEFT | BS_VCENTER));
    EXPECT_EQ(kh::GetInt(check, c, CHECK_CHECKED), 0u);
    EXPECT_EQ(kh::GetInt(check, c, CHECK_BACK_COLOUR), 0xFF000000u);
    EXPECT_EQ(check(KI_IS_DEFAULT_BUTTON), nullptr);
    kh::Destroy(c);
}

TEST_F(ButtonKind, TemplateTickIsUndoneByUserClickAndByWrite) {
    std::string block = checkBlock(2, 1, kh::Logfont("微软雅黑", -12, 400), kCheckCaption);
    EXPECT_EQ(block.size(), 153u);
    ComponentObject* c = kh::Create(check, block, WS_TABSTOP, 10, 10, 238, 24, 0x16010007);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(SendMessageA(c->fw.hwnd, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(kh::GetInt(check, c, CHECK_CHECKED), 1u);
    EXPECT_EQ(kh::WriteBlock(check, c), block);

    SendMessageA(c->fw.hwnd, BM_CLICK, 0, 0);  // the user unticks it
    kh::Pump();
    EXPECT_EQ(kh::CountEvents(0), 1);
    EXPECT_EQ(kh::GetInt(check, c, CHECK_CHECKED), 0u);

    kh::events.clear();
    kh::Set(check, c, CHECK_CHECKED, 1);
    EXPECT_EQ(SendMessageA(c->fw.hwnd, BM_GETCHECK, 0, 0), BST_CHECKED);
    kh::Set(check, c, CHECK_CHECKED, 0);
    kh::Pump();
    EXPECT_EQ(SendMessageA(c->fw.hwnd, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(kh::CountEvents(0), 0);
    kh::Destroy(c);
}

TEST_F(ButtonKind, CheckBoxRecreationKeepsTheUsersTick) {
    ComponentObject* c = kh::Create(check, checkBlock(2, 0, "", "x"));
    ASSERT_NE(c, nullptr);
    SendMessageA(c->fw.hwnd, BM_CLICK, 0, 0);
    EXPECT_EQ(kh::SetBytes(check, c, CHECK_PICTURE, "junk"), 1);
    c = kh::Recreate(check, c);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(SendMessageA(c->fw.hwnd, BM_GETCHECK, 0, 0), BST_CHECKED);
    kh::Destroy(c);
}

TEST_F(ButtonKind, CheckBoxBlockVersions) {
    EXPECT_EQ(kh::Create(check, checkBlock(3, 0, "", "x")), nullptr);
    std::string v2 = checkBlock(2, 0, "", "x");
    EXPECT_EQ(kh::Create(check, v2.substr(0, v2.size() - 2)), nullptr);
    // Version 1 has no binding texts; it is written back as version 2.
    ComponentObject* c = kh::Create(check, checkBlock(1, 1, "", "v1"));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(kh::WindowText(c->fw.hwnd), "v1");
    EXPECT_EQ(kh::WriteBlock(check, c), checkBlock(2, 1, "", "v1"));
    kh::Destroy(c);
}

TEST_F(ButtonKind, CheckBoxColoursAnswerTheParentsRequest) {
    ComponentObject* c = kh::Create(check, checkBlock(2, 0, "", "colours", 0x00112233));
    ASSERT_NE(c, nullptr);
    kh::Set(check, c, CHECK_TEXT_COLOUR, 0x000000FF);
    HDC dc = GetDC(c->fw.hwnd);
    EXPECT_EQ(kh::CtlColour(WM_CTLCOLORSTATIC, c->fw.hwnd, dc), (COLORREF)0x00112233);
    EXPECT_EQ(GetTextColor(dc), (COLORREF)0x000000FF);
    EXPECT_EQ(GetBkColor(dc), (COLORREF)0x00112233);
    // The button-face value is the system colour.
    kh::Set(check, c, CHECK_BACK_COLOUR, 0xFF000000u);
    EXPECT_EQ(kh::CtlColour(WM_CTLCOLORSTATIC, c->fw.hwnd, dc), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
    ReleaseDC(c->fw.hwnd, dc);
    kh::Destroy(c);
}

TEST_F(ButtonKind, CheckBoxRestylesAndBinding) {
    ComponentObject* c = kh::Create(check, checkBlock(2, 1, "", "x"), WS_DISABLED);
    ASSERT_NE(c, nullptr);
    kh::Set(check, c, CHECK_PUSHLIKE, 1);
    EXPECT_TRUE(styleOf(c) & BS_PUSHLIKE);
    kh::Set(check, c, CHECK_FLAT, 1);
    EXPECT_TRUE(styleOf(c) & BS_FLAT);
    kh::Set(check, c, CHECK_TEXT_LEFT, 1);
    EXPECT_TRUE(styleOf(c) & BS_LEFTTEXT);
    kh::Set(check, c, CHECK_PUSHLIKE, 0);
    EXPECT_FALSE(styleOf(c) & BS_PUSHLIKE);
    EXPECT_EQ(styleOf(c) & 0xFu, (uint32_t)BS_AUTOCHECKBOX);

    // No record source exists: the box is enabled and shows unticked.
    EXPECT_FALSE(IsWindowEnabled(c->fw.hwnd));
    kh::SetText(check, c, CHECK_DATA_SOURCE, "记录集1");
    EXPECT_TRUE(IsWindowEnabled(c->fw.hwnd));
    EXPECT_EQ(kh::GetInt(check, c, CHECK_CHECKED), 0u);
    EXPECT_EQ(kh::GetText(check, c, CHECK_DATA_SOURCE), "记录集1");
    kh::Destroy(c);
}

}  // namespace
