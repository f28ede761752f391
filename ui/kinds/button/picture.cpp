#include "ui/kinds/button/picture.h"
#include "platform/picture.h"
#include <string.h>
#include "ui/kinds/common/common.h"

namespace {

uint16_t word16(const uint8_t* p) { return (uint16_t)(p[0] | (p[1] << 8)); }
uint32_t dword32(const uint8_t* p) { return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24); }

// Icon and cursor files: a 6-byte header, 16-byte directory entries, then
// the images. The first image that lies inside the data is used; a cursor
// image is the same DIB an icon holds, so both become icons.
HICON iconFromFile(const uint8_t* b, uint32_t n, bool* isIconFile) {
    *isIconFile = false;
    if (n < 6 || word16(b) != 0) return nullptr;
    uint16_t type = word16(b + 2), count = word16(b + 4);
    if ((type != 1 && type != 2) || count == 0) return nullptr;
    *isIconFile = true;
    for (uint32_t i = 0; i < count; i++) {
        uint32_t at = 6 + 16 * i;
        if (at + 16 > n) break;
        uint32_t size = dword32(b + at + 8), offset = dword32(b + at + 12);
        if (offset >= n || size == 0 || size > n - offset) continue;
        HICON icon = CreateIconFromResourceEx((PBYTE)(b + offset), size, TRUE, 0x00030000, 0, 0,
                                              LR_DEFAULTCOLOR);
        if (icon) return icon;
    }
    return nullptr;
}

HBITMAP renderOn(const Picture* pic, uint32_t background) {
    int w = pic_Width(pic), h = pic_Height(pic);
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HDC dc = bmp ? CreateCompatibleDC(screen) : nullptr;
    if (dc) {
        HGDIOBJ old = SelectObject(dc, bmp);
        RECT r = {0, 0, w, h};
        HBRUSH brush = ui_CreateColourBrush(background);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        bool ok = pic_Draw(pic, dc, 0, 0, w, h);
        SelectObject(dc, old);
        DeleteDC(dc);
        if (!ok) {
            DeleteObject(bmp);
            bmp = nullptr;
        }
    } else if (bmp) {
        DeleteObject(bmp);
        bmp = nullptr;
    }
    ReleaseDC(nullptr, screen);
    return bmp;
}

}  // namespace

KbPicture kb_DecodePicture(const void* bytes, int32_t length, uint32_t background) {
    KbPicture out = {KB_PICTURE_NONE, nullptr, nullptr};
    if (!bytes || length <= 0) return out;
    bool isIconFile = false;
    HICON icon = iconFromFile((const uint8_t*)bytes, (uint32_t)length, &isIconFile);
    if (icon) {
        out.kind = KB_PICTURE_ICON;
        out.icon = icon;
        return out;
    }
    if (isIconFile) return out;
    Picture* pic = pic_Decode(bytes, length);
    if (!pic) return out;
    if (HICON held = pic_Icon(pic)) {
        out.icon = CopyIcon(held);
        if (out.icon) out.kind = KB_PICTURE_ICON;
    } else {
        out.bitmap = renderOn(pic, background);
        if (out.bitmap) out.kind = KB_PICTURE_BITMAP;
    }
    pic_Free(pic);
    return out;
}

void kb_ReleasePicture(KbPicture* p) {
    if (p->icon) DestroyIcon(p->icon);
    if (p->bitmap) DeleteObject(p->bitmap);
    p->icon = nullptr;
    p->bitmap = nullptr;
    p->kind = KB_PICTURE_NONE;
}
