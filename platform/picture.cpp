#include "platform/picture.h"
#include <ole2.h>
#include <olectl.h>
#include <string.h>

struct Picture {
    IPicture* ole;
    OLE_XSIZE_HIMETRIC hmWidth;
    OLE_YSIZE_HIMETRIC hmHeight;
    int32_t width, height;   // pixels
};

static int32_t himetricToPixels(LONG hm, int axis) {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, axis) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    if (dpi <= 0) dpi = 96;
    return (int32_t)MulDiv(hm, dpi, 2540);
}

// Bitmap files are checked here: the platform loader reads past the end of
// truncated ones and may hand back a picture made of stray memory.
static bool bitmapFileFits(const uint8_t* b, int32_t length) {
    if (length < 14 + 12) return false;
    uint32_t offBits, headerSize;
    memcpy(&offBits, b + 10, 4);
    memcpy(&headerSize, b + 14, 4);
    if (headerSize < 12 || headerSize > (uint32_t)length - 14 || offBits > (uint32_t)length) return false;
    int64_t w, h;
    uint32_t bpp, compression = 0;
    if (headerSize == 12) {
        uint16_t cw, ch, cbpp;
        memcpy(&cw, b + 18, 2);
        memcpy(&ch, b + 20, 2);
        memcpy(&cbpp, b + 24, 2);
        w = cw, h = ch, bpp = cbpp;
    } else {
        if (headerSize < 40) return false;
        int32_t iw, ih;
        uint16_t ibpp;
        memcpy(&iw, b + 18, 4);
        memcpy(&ih, b + 22, 4);
        memcpy(&ibpp, b + 28, 2);
        memcpy(&compression, b + 30, 4);
        w = iw, h = ih < 0 ? -(int64_t)ih : ih, bpp = ibpp;
    }
    if (w <= 0 || h <= 0 || bpp == 0 || bpp > 32) return false;
    if (compression != 0 && compression != 3) return true;  // packed data: sizes vary
    int64_t stride = ((w * bpp + 31) / 32) * 4;
    return (int64_t)offBits + stride * h <= (int64_t)length;
}

Picture* pic_Decode(const void* data, int32_t length) {
    if (!data || length <= 0) return nullptr;
    const uint8_t* bytes = (const uint8_t*)data;
    if (length >= 2 && bytes[0] == 'B' && bytes[1] == 'M' && !bitmapFileFits(bytes, length)) return nullptr;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (SIZE_T)length);
    if (!mem) return nullptr;
    void* p = GlobalLock(mem);
    if (!p) {
        GlobalFree(mem);
        return nullptr;
    }
    memcpy(p, data, (size_t)length);
    GlobalUnlock(mem);
    IStream* stream = nullptr;
    // The stream owns the memory from here on.
    if (FAILED(CreateStreamOnHGlobal(mem, TRUE, &stream)) || !stream) {
        GlobalFree(mem);
        return nullptr;
    }
    IPicture* ole = nullptr;
    HRESULT hr = OleLoadPicture(stream, length, FALSE, IID_IPicture, (void**)&ole);
    stream->Release();
    if (FAILED(hr) || !ole) return nullptr;
    Picture* pic = new Picture{ole, 0, 0, 0, 0};
    ole->get_Width(&pic->hmWidth);
    ole->get_Height(&pic->hmHeight);
    pic->width = himetricToPixels(pic->hmWidth, LOGPIXELSX);
    pic->height = himetricToPixels(pic->hmHeight, LOGPIXELSY);
    if (pic->width <= 0 || pic->height <= 0) {
        pic_Free(pic);
        return nullptr;
    }
    return pic;
}

void pic_Free(Picture* pic) {
    if (!pic) return;
    if (pic->ole) pic->ole->Release();
    delete pic;
}

int32_t pic_Width(const Picture* pic) { return pic ? pic->width : 0; }
int32_t pic_Height(const Picture* pic) { return pic ? pic->height : 0; }

bool pic_Draw(const Picture* pic, HDC dc, int32_t x, int32_t y, int32_t w, int32_t h) {
    if (!pic || !dc || w <= 0 || h <= 0) return false;
    // IPicture::Render takes the source in HIMETRIC, bottom-up.
    return SUCCEEDED(pic->ole->Render(dc, x, y, w, h, 0, pic->hmHeight, pic->hmWidth, -pic->hmHeight, nullptr));
}

HICON pic_Icon(const Picture* pic) {
    short type = PICTYPE_NONE;
    OLE_HANDLE h = 0;
    if (!pic || FAILED(pic->ole->get_Type(&type)) || type != PICTYPE_ICON) return nullptr;
    return SUCCEEDED(pic->ole->get_Handle(&h)) ? (HICON)(uintptr_t)h : nullptr;
}
