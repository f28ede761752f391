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

Picture* pic_Decode(const void* data, int32_t length) {
    if (!data || length <= 0) return nullptr;
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

void pic_Draw(const Picture* pic, HDC dc, int32_t x, int32_t y, int32_t w, int32_t h) {
    if (!pic || !dc || w <= 0 || h <= 0) return;
    // IPicture::Render takes the source in HIMETRIC, bottom-up.
    pic->ole->Render(dc, x, y, w, h, 0, pic->hmHeight, pic->hmWidth, -pic->hmHeight, nullptr);
}
