// The objects behind GDI handles and the table that owns them, shared by the parts of the
// drawing layer (objects, drawing, text, icons, pictures).
#pragma once

#include "win/gdi.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace win::gdi {

class FontInstance; // gdi_text.h

enum class Kind { Pen, Brush, Font, Bitmap, Region, Icon, DC };

struct Object {
    explicit Object(Kind k) : kind(k) {}
    virtual ~Object() = default;
    Kind kind;
    bool stock = false; // never freed
    std::uintptr_t handle = 0;
};

struct Pen : Object {
    Pen() : Object(Kind::Pen) {}
    int style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
};

struct Brush : Object {
    Brush() : Object(Kind::Brush) {}
    UINT style = BS_SOLID;
    COLORREF color = 0;
};

struct Font : Object {
    Font() : Object(Kind::Font) {}
    LOGFONTA lf{};
    FontInstance* instance = nullptr; // resolved on first use; owned by the font system
};

struct Dc;

struct Bitmap : Object {
    Bitmap() : Object(Kind::Bitmap) {}
    int cx = 0;
    int cy = 0;
    bool mono = false;
    std::vector<COLORREF> pixels; // cx * cy, row by row from the top
    Dc* selectedInto = nullptr;   // the memory DC it is selected into
    int targetOf = 0;             // bitmap and printer DCs drawing into it
};

struct Region : Object {
    Region() : Object(Kind::Region) {}
    RECT rect{};
};

struct Icon : Object {
    Icon() : Object(Kind::Icon) {}
    int cx = 0;
    int cy = 0;
    std::vector<COLORREF> color;
    std::vector<std::uint8_t> opaque; // 1 where the icon is drawn
};

enum class DcType { Memory, Bitmap, Printer, Screen };

// What SaveDC keeps and a DC's drawing reads.  Objects are kept as handles and looked up when
// used, so that a state never holds an object that has gone.
struct DcState {
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    HBITMAP bitmap = nullptr; // memory DCs only
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    UINT textAlign = TA_LEFT | TA_TOP;
    POINT windowOrg{0, 0};
    POINT viewportOrg{0, 0};
    bool clipped = false;
    RECT clip{}; // device pixels, when clipped
    POINT position{0, 0};
};

struct Dc : Object {
    Dc() : Object(Kind::DC) {}
    ~Dc() override;
    DcType type = DcType::Memory;
    HBITMAP target = nullptr; // bitmap and printer DCs: the bitmap drawn into
    bool ownsTarget = false;  // a printer DC's own page, deleted with the DC
    int dpi = 96;
    DcState state;
    std::vector<DcState> saved;
};

// The table.  Handles are numbers that are never reused.
std::uintptr_t Register(std::unique_ptr<Object> object);
Object* Lookup(const void* handle);
template <class T> T* LookupAs(const void* handle, Kind kind) {
    Object* o = Lookup(handle);
    return o && o->kind == kind ? static_cast<T*>(o) : nullptr;
}
inline Dc* LookupDc(HDC hdc) {
    return LookupAs<Dc>(hdc, Kind::DC);
}
inline Bitmap* LookupBitmap(HBITMAP h) {
    return LookupAs<Bitmap>(h, Kind::Bitmap);
}
inline Icon* LookupIcon(HICON h) {
    return LookupAs<Icon>(h, Kind::Icon);
}
// Frees an object (not a stock one).  False when it is not live.
bool Unregister(const void* handle);

template <class H> H ToHandle(std::uintptr_t value) {
    return reinterpret_cast<H>(value);
}

// Creates a bitmap object of the size, filled; null for a size out of range.
HBITMAP NewBitmap(int cx, int cy, COLORREF fill, bool mono);
// A new DC of the type with the defaults of a fresh DC.
Dc* NewDc(DcType type, HDC* handle);

// What a drawing call works on: the surface, the clip in device pixels (within the surface),
// and the offset from logical to device coordinates.
struct Canvas {
    COLORREF* pixels = nullptr;
    int cx = 0;
    int cy = 0;
    bool mono = false;
    RECT clip{0, 0, 0, 0};
    int dx = 0;
    int dy = 0;

    bool inside(int x, int y) const {
        return x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
    }
    COLORREF& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * cx + x]; }
    void put(int x, int y, COLORREF c) {
        if (inside(x, y))
            at(x, y) = Store(c);
    }
    COLORREF Store(COLORREF c) const;
    // A logical rectangle in device pixels, cut to the clip.  Empty when nothing is left.
    RECT toDevice(const RECT& logical) const;
    void fill(const RECT& device, COLORREF c);
};

// The canvas of a live DC (a DC without pixels gives one with an empty clip).  False for a
// handle that is not a live DC.
bool CanvasOf(HDC hdc, Dc*& dc, Canvas& canvas);
Bitmap* SurfaceOf(Dc* dc);

// The colour a brush paints, or false for a null brush (or a handle that is not a brush).  A
// colour index plus one stands for that system colour.
bool BrushColor(HBRUSH brush, COLORREF& color);
Pen* PenOf(Dc* dc);
Font* FontOf(Dc* dc);

// Applies a ternary raster operation to one pixel.
COLORREF Rop3(DWORD rop, COLORREF pattern, COLORREF source, COLORREF dest);

// Forgets the framework's temporary object for a handle that is being freed (gdi_afx.cpp).
void ForgetTemporary(const void* handle);

} // namespace win::gdi
