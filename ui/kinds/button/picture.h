// Picture byte sets for buttons and check boxes: icon and cursor files
// become an icon handle, everything the platform's picture loader reads
// (bitmap, JPEG, GIF, metafile; decoded by platform/picture) becomes a
// bitmap drawn on a background.
#pragma once
#include <windows.h>
#include <stdint.h>

enum KbPictureKind { KB_PICTURE_NONE = 0, KB_PICTURE_ICON = 1, KB_PICTURE_BITMAP = 2 };

struct KbPicture {
    KbPictureKind kind;
    HICON icon;      // KB_PICTURE_ICON; owned
    HBITMAP bitmap;  // KB_PICTURE_BITMAP; owned
};

// Decodes `length` bytes. A bitmap picture is rendered at its natural size
// on the colour `background` (0xFF000000 = button face). Anything that does
// not decode gives KB_PICTURE_NONE.
KbPicture kb_DecodePicture(const void* bytes, int32_t length, uint32_t background);
void kb_ReleasePicture(KbPicture* p);
