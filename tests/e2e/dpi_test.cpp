// The real program on a screen of the prefix's DPI (dpi_layout.sh sets it
// before the Wine session starts, as a user's display setting is there
// before they log in): every control's native rectangle is the template's
// times DPI / 96, inside the window's client area.
#include <gtest/gtest.h>
#include <stdlib.h>
#include "driver.h"

using namespace e2e;

namespace {

// The template's layout by control id: left, top, width, height.
const struct { int id; int rect[4]; } kLayout[] = {
    {C_LABEL1, {8, 8, 696, 24}},      {C_EDIT_ROOT, {8, 40, 584, 32}},     {C_BUTTON_CHOOSE, {595, 40, 112, 32}},
    {C_LABEL2, {8, 80, 696, 24}},     {C_EDIT_EXT, {8, 112, 696, 32}},     {C_CHECK_BACKUP, {10, 152, 238, 24}},
    {C_LOG, {8, 219, 696, 176}},      {C_LABEL3, {8, 185, 696, 24}},       {C_LABEL4, {8, 405, 696, 24}},
    {C_PROGRESS, {8, 440, 696, 24}},  {C_STATUS, {8, 466, 696, 31}},       {C_BUTTON_START, {592, 148, 112, 32}},
};

TEST(ScaledScreen, EveryControlScalesWithTheScreensDpi) {
    const char* given = getenv("VELL_DPI");
    if (!given) GTEST_SKIP() << "run by dpi_layout.sh, which sets the prefix's DPI";
    const int dpi = atoi(given);
    // Seen as the tool sees itself: aware, in the screen's own pixels.
    SetProcessDPIAware();
    HDC screen = GetDC(nullptr);
    ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), dpi) << "the prefix's DPI did not take";
    ReleaseDC(nullptr, screen);
    Tool tool;
    ASSERT_TRUE(tool.start()) << "no window captioned Vellumor";
    RECT client;
    GetClientRect(tool.main, &client);
    for (const auto& c : kLayout) {
        RECT r{};
        GetWindowRect(tool.control(c.id), &r);
        MapWindowPoints(nullptr, tool.main, (POINT*)&r, 2);
        const int native[4] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
        for (int p = 0; p < 4; p++) EXPECT_EQ(native[p], MulDiv(c.rect[p], dpi, 96)) << c.id << " property " << p;
        EXPECT_LE(r.right, client.right) << c.id << " clipped on the right";
        EXPECT_LE(r.bottom, client.bottom) << c.id << " clipped below";
    }
    // The margins keep their proportion: no strip of the window is left bare.
    EXPECT_LE(client.right, MulDiv(719, dpi, 96));
    EXPECT_GE(client.bottom, MulDiv(497, dpi, 96));
    tool.kill();
}

}  // namespace
