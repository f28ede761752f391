#include "ui/kinds/label/label.h"
#include "platform/picture.h"
#include <algorithm>
#include <math.h>
#include <string.h>
#include <vector>

static const char* const kLabelClass = "_QX_Label";

UINT label_DrawFlags(const LabelProps& p) {
    UINT f = DT_NOPREFIX;
    f |= p.hAlign == 1 ? DT_CENTER : (p.hAlign == 2 ? DT_RIGHT : DT_LEFT);
    if (p.wordWrap == 1)
        f |= DT_WORDBREAK | DT_VCENTER;
    else
        f |= DT_SINGLELINE | (p.vAlign == 0 ? DT_TOP : (p.vAlign == 2 ? DT_BOTTOM : DT_VCENTER));
    return f;
}

COLORREF label_GradientColour(const COLORREF* colours, int n, double t) {
    if (n <= 1) return n == 1 ? colours[0] : 0;
    if (t < 0) t = 0;
    if (t > 1) t = 1;
    double seg = t * (n - 1);
    int i = (int)seg;
    if (i >= n - 1) i = n - 2;
    double f = seg - i;
    COLORREF a = colours[i], b = colours[i + 1];
    auto mix = [f](int x, int y) { return (int)lround(x + (y - x) * f); };
    return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)),
               mix(GetBValue(a), GetBValue(b)));
}

double label_GradientT(int32_t mode, int32_t x, int32_t y, int32_t w, int32_t h) {
    double fx = w > 1 ? (double)x / (w - 1) : 0.0;
    double fy = h > 1 ? (double)y / (h - 1) : 0.0;
    switch (mode) {
    case 1: return fy;                        // top to bottom
    case 2: return fx;                        // left to right
    case 3: return (fx + fy) / 2;             // top-left to bottom-right
    case 4: return ((1 - fx) + fy) / 2;       // top-right to bottom-left
    case 5: return 1 - fy;                    // bottom to top
    case 6: return 1 - fx;                    // right to left
    case 7: return 1 - (fx + fy) / 2;         // bottom-right to top-left
    case 8: return 1 - ((1 - fx) + fy) / 2;   // bottom-left to top-right
    default: return 0;
    }
}

// Colours of a list that are not left out (0xFF000000).
static int usableColours(const uint32_t in[3], COLORREF out[3]) {
    int n = 0;
    for (int i = 0; i < 3; i++)
        if (in[i] != UI_COLOUR_BUTTON_FACE) out[n++] = (COLORREF)(in[i] & 0xFFFFFF);
    return n;
}

// A 32-bit top-down canvas the size of the client area.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr, old = nullptr;
    uint32_t* bits = nullptr;
    int32_t w = 0, h = 0;
};

static bool canvasOpen(Canvas* c, HDC ref, int32_t w, int32_t h) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    c->bitmap = CreateDIBSection(ref, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!c->bitmap) return false;
    c->dc = CreateCompatibleDC(ref);
    if (!c->dc) {
        DeleteObject(c->bitmap);
        return false;
    }
    c->old = (HBITMAP)SelectObject(c->dc, c->bitmap);
    c->bits = (uint32_t*)bits;
    c->w = w;
    c->h = h;
    return true;
}

static void canvasClose(Canvas* c) {
    if (c->dc) {
        SelectObject(c->dc, c->old);
        DeleteDC(c->dc);
    }
    if (c->bitmap) DeleteObject(c->bitmap);
}

static inline uint32_t pixelOf(COLORREF c) {
    return ((uint32_t)GetRValue(c) << 16) | ((uint32_t)GetGValue(c) << 8) | GetBValue(c);
}

static void paintGradientFrame(Canvas* c, const RECT& r, int32_t width, const COLORREF* colours, int n) {
    GdiFlush();
    for (int32_t y = r.top; y < r.bottom; y++) {
        for (int32_t x = r.left; x < r.right; x++) {
            int32_t d = x - r.left;
            if (r.right - 1 - x < d) d = r.right - 1 - x;
            if (y - r.top < d) d = y - r.top;
            if (r.bottom - 1 - y < d) d = r.bottom - 1 - y;
            if (d >= width) continue;
            double t = width > 1 ? (double)d / (width - 1) : 0.0;
            c->bits[y * c->w + x] = pixelOf(label_GradientColour(colours, n, t));
        }
    }
}

static void paintGradientFill(Canvas* c, const RECT& r, int32_t mode, const COLORREF* colours, int n) {
    GdiFlush();
    int32_t w = r.right - r.left, h = r.bottom - r.top;
    for (int32_t y = 0; y < h; y++)
        for (int32_t x = 0; x < w; x++)
            c->bits[(r.top + y) * c->w + r.left + x] =
                pixelOf(label_GradientColour(colours, n, label_GradientT(mode, x, y, w, h)));
}

static void drawPicture(LabelObject* o, HDC dc, const RECT& r) {
    int32_t pw = pic_Width(o->picture), ph = pic_Height(o->picture);
    int32_t rw = r.right - r.left, rh = r.bottom - r.top;
    if (pw <= 0 || ph <= 0 || rw <= 0 || rh <= 0) return;
    HRGN clip = CreateRectRgn(r.left, r.top, r.right, r.bottom);
    SelectClipRgn(dc, clip);
    switch (o->props.pictureMode) {
    case 0:
        pic_Draw(o->picture, dc, r.left, r.top, pw, ph);
        break;
    case 1:
        for (int32_t y = r.top; y < r.bottom; y += ph)
            for (int32_t x = r.left; x < r.right; x += pw) pic_Draw(o->picture, dc, x, y, pw, ph);
        break;
    default: {
        int32_t dw = pw, dh = ph;
        if (pw > rw || ph > rh) {
            double s = (double)rw / pw;
            if ((double)rh / ph < s) s = (double)rh / ph;
            dw = (int32_t)(pw * s);
            dh = (int32_t)(ph * s);
            if (dw < 1) dw = 1;
            if (dh < 1) dh = 1;
        }
        pic_Draw(o->picture, dc, r.left + (rw - dw) / 2, r.top + (rh - dh) / 2, dw, dh);
        break;
    }
    }
    SelectClipRgn(dc, nullptr);
    DeleteObject(clip);
}

static void drawText(LabelObject* o, HDC dc, const RECT& r) {
    int n = GetWindowTextLengthA(o->head.fw.hwnd);
    if (n <= 0) return;
    std::vector<char> text((size_t)n + 1);
    n = GetWindowTextA(o->head.fw.hwnd, text.data(), n + 1);
    if (n <= 0) return;
    if (!o->font.handle) ui_FontSet(&o->font, o->props.font.data(), (int32_t)o->props.font.size());
    HFONT old = (HFONT)SelectObject(dc, o->font.handle);
    SetBkMode(dc, TRANSPARENT);
    UINT flags = label_DrawFlags(o->props);
    COLORREF colour = ui_Colour(o->props.textColour);
    auto draw = [&](COLORREF c, int32_t dx, int32_t dy) {
        RECT t = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
        SetTextColor(dc, c);
        DrawTextA(dc, text.data(), n, &t, flags);
    };
    switch (o->props.effect) {
    case 1: draw(RGB(255, 255, 255), 1, 1); draw(colour, 0, 0); break;
    case 2: draw(RGB(255, 255, 255), 0, 0); draw(colour, 1, 1); break;
    case 3: draw(RGB(0, 0, 0), 2, 2); draw(colour, 0, 0); break;
    default: draw(colour, 0, 0); break;
    }
    SelectObject(dc, old);
}

void label_Paint(LabelObject* o, HDC dc) {
    RECT r;
    GetClientRect(o->head.fw.hwnd, &r);
    int32_t w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return;
    Canvas c;
    if (!canvasOpen(&c, dc, w, h)) return;
    const LabelProps& p = o->props;
    // Whatever the frame leaves uncovered shows the background.
    HBRUSH bg = ui_CreateColourBrush(p.background);
    FillRect(c.dc, &r, bg);
    COLORREF colours[3];
    int n;
    if (p.border == 6 && p.frameWidth > 0 && (n = usableColours(p.frame, colours)) >= 2) {
        int32_t fw = p.frameWidth;
        paintGradientFrame(&c, r, fw, colours, n);
        InflateRect(&r, -fw, -fw);
        if (r.right < r.left) r.right = r.left;
        if (r.bottom < r.top) r.bottom = r.top;
    }
    if (!p.picture.empty() && !o->pictureTried) {
        o->pictureTried = true;
        o->picture = pic_Decode(p.picture.data(), (int32_t)p.picture.size());
    }
    if (r.right > r.left && r.bottom > r.top) {
        if (o->picture) {
            drawPicture(o, c.dc, r);
        } else if (p.gradientMode >= 1 && p.gradientMode <= 8 &&
                   (n = usableColours(p.gradient, colours)) >= 2) {
            paintGradientFill(&c, r, p.gradientMode, colours, n);
        }
        drawText(o, c.dc, r);
    }
    GdiFlush();
    BitBlt(dc, 0, 0, w, h, c.dc, 0, 0, SRCCOPY);
    DeleteObject(bg);
    canvasClose(&c);
}

static void dropPicture(LabelObject* o) {
    pic_Free(o->picture);
    o->picture = nullptr;
    o->pictureTried = false;
}

// WM_GETTEXT and WM_GETTEXTLENGTH while the window's own text is behind.
static LRESULT captionText(LabelObject* o, UINT msg, WPARAM wp, LPARAM lp) {
    const std::string& c = o->props.caption;
    if (msg == WM_GETTEXTLENGTH) return (LRESULT)c.size();
    if (wp == 0 || !lp) return 0;
    size_t n = c.size() < wp - 1 ? c.size() : wp - 1;
    memcpy((char*)lp, c.data(), n);
    ((char*)lp)[n] = 0;
    return (LRESULT)n;
}

static LRESULT labelMessage(ComponentObject* obj, UINT msg, WPARAM wp, LPARAM lp, bool* handled) {
    LabelObject* o = (LabelObject*)obj;
    HWND hwnd = obj->fw.hwnd;
    switch (msg) {
    case WM_ERASEBKGND:
        *handled = true;
        return 1;
    case WM_TIMER:
        *handled = ui_PaceTimer(hwnd, &o->pace, wp);
        if (*handled && o->textBehind) {
            o->textBehind = false;
            SetWindowTextA(hwnd, o->props.caption.c_str());
        }
        return 0;
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        *handled = o->textBehind;
        return o->textBehind ? captionText(o, msg, wp, lp) : 0;
    case WM_PAINT: {
        *handled = true;
        if (wp == 0 && ui_PacePaint(hwnd, &o->pace)) return 0;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (!IsRectEmpty(&ps.rcPaint)) label_Paint(o, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case UI_MSG_LABEL_CLICK: {
        *handled = true;
        uint32_t args[2] = {(uint32_t)wp, (uint32_t)lp};
        EventRecord rec;
        if (ui_RaiseEventRecord(&rec, &o->head, 0, 2, args) && rec.resultPresent) return rec.result;
        return 0;
    }
    default:
        return 0;
    }
}

static void releaseLabel(LabelObject* o) {
    ui_FontRelease(&o->font);
    dropPicture(o);
}

static const UiControlHooks kLabelHooks = {labelMessage, ui_Destroyed<LabelObject, releaseLabel>};

ComponentObject* label_Create(const uint8_t* block, int32_t length, uint32_t extraStyle,
                              HWND parent, int32_t controlId, HMENU,
                              int32_t left, int32_t top, int32_t width, int32_t height,
                              uint32_t windowId, uint32_t componentId, uint32_t, uint32_t) {
    LabelObject* o = new LabelObject();
    UiControlPlace place = {kLabelClass, nullptr, extraStyle | WS_CHILD | WS_CLIPSIBLINGS, parent, controlId,
                            left, top, width, height, 0, nullptr};
    bool made = label_ReadBlock(block, length, &o->props) && ui_RegisterClass(kLabelClass);
    place.text = o->props.caption.c_str();
    if (!made || !ui_CreateControl(&o->head, KIND_LABEL, windowId, componentId, place, &kLabelHooks)) {
        delete o;
        return nullptr;
    }
    HWND hwnd = o->head.fw.hwnd;
    ui_FontSet(&o->font, o->props.font.data(), (int32_t)o->props.font.size());
    if (o->props.border >= 0 && o->props.border <= 5) ui_ApplyBorder(hwnd, o->props.border);
    return &o->head;
}

// Within a frame the window's own copy of the text (a round trip to Wine's
// server each time) waits for the frame's end; until then WM_GETTEXT is
// answered from the caption.
static void setCaption(LabelObject* o, const std::string& text) {
    o->props.caption = text;
    HWND hwnd = o->head.fw.hwnd;
    o->textBehind = hwnd && ui_PaceHold(hwnd, &o->pace);
    if (!o->textBehind) SetWindowTextA(hwnd, text.c_str());
}

int32_t label_Set(ComponentObject* obj, int32_t index, const ValueRecord* value, int32_t) {
    if (!obj || !value) return 0;
    LabelObject* o = (LabelObject*)obj;
    LabelProps& p = o->props;
    int32_t v = (int32_t)value->value;
    switch (index) {
    case LP_CAPTION: setCaption(o, ui_ValueText(value)); break;
    case LP_EFFECT: p.effect = ui_Clamp(v, 0, 3); break;
    case LP_BORDER:
        p.border = ui_Clamp(v, 0, 6);
        ui_ApplyBorder(obj->fw.hwnd, p.border);
        break;
    case LP_FRAME_WIDTH: p.frameWidth = v < 5 ? 5 : v; break;
    case LP_FRAME1: case LP_FRAME2: case LP_FRAME3: p.frame[index - LP_FRAME1] = value->value; break;
    case LP_TEXT_COLOUR: p.textColour = value->value; break;
    case LP_BACKGROUND: p.background = value->value; break;
    case LP_GRADIENT1: case LP_GRADIENT2: case LP_GRADIENT3:
        p.gradient[index - LP_GRADIENT1] = value->value;
        break;
    case LP_FONT:
        p.font = ui_ValueBytes(value);
        ui_FontSet(&o->font, p.font.data(), (int32_t)p.font.size());
        break;
    case LP_PICTURE:
        p.picture = ui_ValueBytes(value);
        dropPicture(o);
        break;
    case LP_PICTURE_MODE: p.pictureMode = ui_Clamp(v, 0, 2); break;
    case LP_GRADIENT_MODE: p.gradientMode = ui_Clamp(v, 0, 8); break;
    case LP_HALIGN: p.hAlign = ui_Clamp(v, 0, 2); break;
    case LP_VALIGN: p.vAlign = ui_Clamp(v, 0, 2); break;
    case LP_WORD_WRAP: p.wordWrap = v; break;
    case LP_DATA_SOURCE:
    case LP_DATA_COLUMN:
        (index == LP_DATA_SOURCE ? p.dataSource : p.dataColumn) = ui_ValueText(value);
        // No kind of this system supplies records, so the binding never
        // finds its source: the caption becomes empty.
        setCaption(o, std::string());
        break;
    default: return 0;
    }
    if (obj->fw.hwnd) ui_PaceInvalidate(obj->fw.hwnd, &o->pace);
    return 0;
}

int32_t label_Get(ComponentObject* obj, int32_t index, ValueRecord* out) {
    if (!obj || !out) return 0;
    const LabelProps& p = ((LabelObject*)obj)->props;
    switch (index) {
    case LP_CAPTION: ui_OutText(out, p.caption); return 1;
    case LP_EFFECT: ui_OutInt(out, (uint32_t)p.effect); return 1;
    case LP_BORDER: ui_OutInt(out, (uint32_t)p.border); return 1;
    case LP_FRAME_WIDTH: ui_OutInt(out, (uint32_t)p.frameWidth); return 1;
    case LP_FRAME1: case LP_FRAME2: case LP_FRAME3: ui_OutInt(out, p.frame[index - LP_FRAME1]); return 1;
    case LP_FONT: ui_OutBytes(out, p.font); return 1;
    case LP_TEXT_COLOUR: ui_OutInt(out, p.textColour); return 1;
    case LP_BACKGROUND: ui_OutInt(out, p.background); return 1;
    case LP_PICTURE: ui_OutBytes(out, p.picture); return 1;
    case LP_PICTURE_MODE: ui_OutInt(out, (uint32_t)p.pictureMode); return 1;
    case LP_GRADIENT_MODE: ui_OutInt(out, (uint32_t)p.gradientMode); return 1;
    case LP_GRADIENT1: case LP_GRADIENT2: case LP_GRADIENT3:
        ui_OutInt(out, p.gradient[index - LP_GRADIENT1]);
        return 1;
    case LP_HALIGN: ui_OutInt(out, (uint32_t)p.hAlign); return 1;
    case LP_WORD_WRAP: ui_OutInt(out, (uint32_t)p.wordWrap); return 1;
    case LP_VALIGN: ui_OutInt(out, (uint32_t)p.vAlign); return 1;
    case LP_DATA_SOURCE: ui_OutText(out, p.dataSource); return 1;
    case LP_DATA_COLUMN: ui_OutText(out, p.dataColumn); return 1;
    default: return 0;
    }
}

uint8_t* label_WriteKindBlock(ComponentObject* obj, int32_t* length) {
    return obj ? ui_BlockOf(label_Block, ((LabelObject*)obj)->props, length) : nullptr;
}

static const UiKindEntries kLabelEntries = {label_Create, label_Set, label_WriteKindBlock, label_Get, nullptr, nullptr,
                                              ui_ConvertTextsOf<label_Block>, nullptr};

void* kind_label_iface(int32_t number) { return ui_KindEntry(kLabelEntries, number); }
