#include "ui/kinds/button/picture.h"
#include <olectl.h>
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

IPicture* loadPicture(const void* bytes, uint32_t n) {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, n);
    if (!mem) return nullptr;
    void* p = GlobalLock(mem);
    if (!p) {
        GlobalFree(mem);
        return nullptr;
    }
    memcpy(p, bytes, n);
    GlobalUnlock(mem);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(mem, TRUE, &stream))) {
        GlobalFree(mem);
        return nullptr;
    }
    IPicture* pic = nullptr;
    if (FAILED(OleLoadPicture(stream, (LONG)n, FALSE, IID_IPicture, (void**)&pic))) pic = nullptr;
    stream->Release();
    return pic;
}

HBITMAP renderOn(IPicture* pic, uint32_t background) {
    OLE_XSIZE_HIMETRIC hmw = 0;
    OLE_YSIZE_HIMETRIC hmh = 0;
    if (FAILED(pic->get_Width(&hmw)) || FAILED(pic->get_Height(&hmh)) || hmw <= 0 || hmh <= 0) return nullptr;
    HDC screen = GetDC(nullptr);
    int w = MulDiv(hmw, GetDeviceCaps(screen, LOGPIXELSX), 2540);
    int h = MulDiv(hmh, GetDeviceCaps(screen, LOGPIXELSY), 2540);
    HBITMAP bmp = (w > 0 && h > 0) ? CreateCompatibleBitmap(screen, w, h) : nullptr;
    HDC dc = bmp ? CreateCompatibleDC(screen) : nullptr;
    if (dc) {
        HGDIOBJ old = SelectObject(dc, bmp);
        RECT r = {0, 0, w, h};
        HBRUSH brush = ui_CreateColourBrush(background);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        bool ok = SUCCEEDED(pic->Render(dc, 0, 0, w, h, 0, hmh, hmw, -hmh, nullptr));
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
    IPicture* pic = loadPicture(bytes, (uint32_t)length);
    if (!pic) return out;
    short type = PICTYPE_NONE;
    pic->get_Type(&type);
    if (type == PICTYPE_ICON) {
        OLE_HANDLE h = 0;
        if (SUCCEEDED(pic->get_Handle(&h)) && h) out.icon = CopyIcon((HICON)(uintptr_t)h);
        if (out.icon) out.kind = KB_PICTURE_ICON;
    } else if (type != PICTYPE_NONE && type != PICTYPE_UNINITIALIZED) {
        out.bitmap = renderOn(pic, background);
        if (out.bitmap) out.kind = KB_PICTURE_BITMAP;
    }
    pic->Release();
    return out;
}

void kb_ReleasePicture(KbPicture* p) {
    if (p->icon) DestroyIcon(p->icon);
    if (p->bitmap) DeleteObject(p->bitmap);
    p->icon = nullptr;
    p->bitmap = nullptr;
    p->kind = KB_PICTURE_NONE;
}
