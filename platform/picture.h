// Picture decoding for picture properties: bitmap (and whatever else the
// platform's OLE picture loader accepts) into a drawable picture.
#pragma once
#include <windows.h>
#include <stdint.h>

struct Picture;

// Decodes picture file data; null when it cannot be decoded.
Picture* pic_Decode(const void* data, int32_t length);
void pic_Free(Picture* pic);
// Natural size in pixels.
int32_t pic_Width(const Picture* pic);
int32_t pic_Height(const Picture* pic);
// Draws the picture into the rectangle (x, y, w, h) of dc, scaled to it;
// false when the platform could not render it.
bool pic_Draw(const Picture* pic, HDC dc, int32_t x, int32_t y, int32_t w, int32_t h);
// The icon an icon picture holds (the picture keeps it), else null.
HICON pic_Icon(const Picture* pic);
