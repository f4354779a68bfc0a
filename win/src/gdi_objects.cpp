// The GDI handle table, stock objects, pens, brushes, bitmaps and regions, and the state of
// device contexts: selection, colours, origins, clip, saved states and device capabilities.
#include "gdi_objects.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <strings.h>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace win::gdi {

namespace {

// Sizes past these are refused rather than allocated.
constexpr int kMaxBitmapSide = 32768;
constexpr std::size_t kMaxBitmapPixels = std::size_t{1} << 26;

// The first handle value; below it, small numbers stand for system colour brushes.
constexpr std::uintptr_t kFirstHandle = 0x10000;

struct Table {
    std::mutex mutex;
    std::uintptr_t next = kFirstHandle;
    std::unordered_map<std::uintptr_t, std::unique_ptr<Object>> objects;
    std::unordered_set<Dc*> dcs;
    std::array<std::uintptr_t, DEFAULT_GUI_FONT + 1> stock{};
    std::array<std::uintptr_t, COLOR_MENUBAR + 1> sysBrushes{};
    std::uintptr_t defaultBitmap = 0;
};

std::uintptr_t RegisterLocked(Table& t, std::unique_ptr<Object> object) {
    t.next += 4;
    std::uintptr_t handle = t.next;
    object->handle = handle;
    if (object->kind == Kind::DC)
        t.dcs.insert(static_cast<Dc*>(object.get()));
    t.objects.emplace(handle, std::move(object));
    return handle;
}

std::unique_ptr<Pen> MakePen(int style, int width, COLORREF color) {
    auto pen = std::make_unique<Pen>();
    pen->style = style;
    pen->width = width;
    pen->color = color;
    return pen;
}

std::unique_ptr<Brush> MakeBrush(UINT style, COLORREF color) {
    auto brush = std::make_unique<Brush>();
    brush->style = style;
    brush->color = color;
    return brush;
}

std::unique_ptr<Font> MakeFont(const char* face, LONG height, LONG weight, BYTE pitch) {
    auto font = std::make_unique<Font>();
    font->lf.lfHeight = height;
    font->lf.lfWeight = weight;
    font->lf.lfPitchAndFamily = pitch;
    std::strncpy(font->lf.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

void AddStock(Table& t, int index, std::unique_ptr<Object> object) {
    object->stock = true;
    t.stock[index] = RegisterLocked(t, std::move(object));
}

Table& TheTable() {
    // Lives for the whole process: objects may be freed by other objects' destructors at exit.
    static Table* table = [] {
        auto* t = new Table;
        AddStock(*t, WHITE_BRUSH, MakeBrush(BS_SOLID, RGB(255, 255, 255)));
        AddStock(*t, LTGRAY_BRUSH, MakeBrush(BS_SOLID, RGB(192, 192, 192)));
        AddStock(*t, GRAY_BRUSH, MakeBrush(BS_SOLID, RGB(128, 128, 128)));
        AddStock(*t, DKGRAY_BRUSH, MakeBrush(BS_SOLID, RGB(64, 64, 64)));
        AddStock(*t, BLACK_BRUSH, MakeBrush(BS_SOLID, RGB(0, 0, 0)));
        AddStock(*t, NULL_BRUSH, MakeBrush(BS_NULL, 0));
        AddStock(*t, WHITE_PEN, MakePen(PS_SOLID, 1, RGB(255, 255, 255)));
        AddStock(*t, BLACK_PEN, MakePen(PS_SOLID, 1, RGB(0, 0, 0)));
        AddStock(*t, NULL_PEN, MakePen(PS_NULL, 1, 0));
        AddStock(*t, OEM_FIXED_FONT, MakeFont("Terminal", 12, FW_NORMAL, FIXED_PITCH));
        AddStock(*t, ANSI_FIXED_FONT, MakeFont("Courier", 13, FW_NORMAL, FIXED_PITCH));
        AddStock(*t, ANSI_VAR_FONT, MakeFont("MS Sans Serif", 13, FW_NORMAL, VARIABLE_PITCH));
        AddStock(*t, SYSTEM_FONT, MakeFont("System", 16, FW_BOLD, VARIABLE_PITCH));
        AddStock(*t, DEVICE_DEFAULT_FONT, MakeFont("System", 16, FW_BOLD, VARIABLE_PITCH));
        AddStock(*t, SYSTEM_FIXED_FONT, MakeFont("Fixedsys", 15, FW_NORMAL, FIXED_PITCH));
        AddStock(*t, DEFAULT_GUI_FONT, MakeFont("MS Shell Dlg", -11, FW_NORMAL, VARIABLE_PITCH));
        auto bitmap = std::make_unique<Bitmap>();
        bitmap->cx = bitmap->cy = 1;
        bitmap->mono = true;
        bitmap->pixels.assign(1, RGB(0, 0, 0));
        bitmap->stock = true;
        t->defaultBitmap = RegisterLocked(*t, std::move(bitmap));
        return t;
    }();
    return *table;
}

// The classic "Windows Standard" scheme.
constexpr std::array<COLORREF, COLOR_MENUBAR + 1> kSysColors = {
    RGB(192, 192, 192), // COLOR_SCROLLBAR
    RGB(0, 128, 128),   // COLOR_BACKGROUND
    RGB(0, 0, 128),     // COLOR_ACTIVECAPTION
    RGB(128, 128, 128), // COLOR_INACTIVECAPTION
    RGB(192, 192, 192), // COLOR_MENU
    RGB(255, 255, 255), // COLOR_WINDOW
    RGB(0, 0, 0),       // COLOR_WINDOWFRAME
    RGB(0, 0, 0),       // COLOR_MENUTEXT
    RGB(0, 0, 0),       // COLOR_WINDOWTEXT
    RGB(255, 255, 255), // COLOR_CAPTIONTEXT
    RGB(192, 192, 192), // COLOR_ACTIVEBORDER
    RGB(192, 192, 192), // COLOR_INACTIVEBORDER
    RGB(128, 128, 128), // COLOR_APPWORKSPACE
    RGB(0, 0, 128),     // COLOR_HIGHLIGHT
    RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
    RGB(192, 192, 192), // COLOR_BTNFACE
    RGB(128, 128, 128), // COLOR_BTNSHADOW
    RGB(128, 128, 128), // COLOR_GRAYTEXT
    RGB(0, 0, 0),       // COLOR_BTNTEXT
    RGB(192, 192, 192), // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
    RGB(0, 0, 0),       // COLOR_3DDKSHADOW
    RGB(192, 192, 192), // COLOR_3DLIGHT
    RGB(0, 0, 0),       // COLOR_INFOTEXT
    RGB(255, 255, 225), // COLOR_INFOBK
    RGB(192, 192, 192), // 25, unused
    RGB(0, 0, 255),     // COLOR_HOTLIGHT
    RGB(16, 132, 208),  // COLOR_GRADIENTACTIVECAPTION
    RGB(181, 181, 181), // COLOR_GRADIENTINACTIVECAPTION
    RGB(0, 0, 128),     // COLOR_MENUHILIGHT
    RGB(192, 192, 192), // COLOR_MENUBAR
};

bool IsSelected(Table& t, std::uintptr_t handle) {
    for (Dc* dc : t.dcs) {
        const DcState& s = dc->state;
        if (reinterpret_cast<std::uintptr_t>(s.pen) == handle ||
            reinterpret_cast<std::uintptr_t>(s.brush) == handle ||
            reinterpret_cast<std::uintptr_t>(s.font) == handle)
            return true;
    }
    return false;
}

int RegionType(const RECT& r) {
    return r.right > r.left && r.bottom > r.top ? SIMPLEREGION : NULLREGION;
}

// The whole surface of a DC in device pixels.
RECT SurfaceRect(Dc* dc) {
    Bitmap* surface = SurfaceOf(dc);
    if (dc->type == DcType::Screen)
        return {0, 0, kScreenWidth, kScreenHeight};
    return surface ? RECT{0, 0, surface->cx, surface->cy} : RECT{0, 0, 0, 0};
}

RECT ClipOf(Dc* dc) {
    RECT whole = SurfaceRect(dc);
    if (!dc->state.clipped)
        return whole;
    RECT r;
    ::IntersectRect(&r, &whole, &dc->state.clip);
    return r;
}

HBITMAP DefaultBitmap() {
    return ToHandle<HBITMAP>(TheTable().defaultBitmap);
}

void ReleaseBitmap(Dc* dc) {
    if (dc->type == DcType::Memory) {
        if (Bitmap* b = LookupBitmap(dc->state.bitmap); b && b->selectedInto == dc)
            b->selectedInto = nullptr;
    } else if (Bitmap* b = LookupBitmap(dc->target)) {
        --b->targetOf;
    }
}

HDC NewTargetDc(DcType type, HBITMAP target, int dpi) {
    Bitmap* bitmap = LookupBitmap(target);
    if (!bitmap || bitmap->stock) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HDC handle = nullptr;
    Dc* dc = NewDc(type, &handle);
    dc->target = target;
    dc->dpi = dpi;
    ++bitmap->targetOf;
    return handle;
}

// Puts a saved handle back if it still names an object of the kind, else the fallback.
template <class H> H Revalidated(H handle, Kind kind, H fallback) {
    return Lookup(handle) && Lookup(handle)->kind == kind ? handle : fallback;
}

} // namespace

Dc::~Dc() = default;

std::uintptr_t Register(std::unique_ptr<Object> object) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    return RegisterLocked(t, std::move(object));
}

Object* Lookup(const void* handle) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    auto it = t.objects.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == t.objects.end() ? nullptr : it->second.get();
}

bool Unregister(const void* handle) {
    Table& t = TheTable();
    std::unique_ptr<Object> gone;
    {
        std::lock_guard lock(t.mutex);
        auto it = t.objects.find(reinterpret_cast<std::uintptr_t>(handle));
        if (it == t.objects.end() || it->second->stock)
            return false;
        gone = std::move(it->second);
        t.objects.erase(it);
        if (gone->kind == Kind::DC)
            t.dcs.erase(static_cast<Dc*>(gone.get()));
    }
    ForgetTemporary(handle);
    return true;
}

HBITMAP NewBitmap(int cx, int cy, COLORREF fill, bool mono) {
    if (cx < 1 || cy < 1 || cx > kMaxBitmapSide || cy > kMaxBitmapSide ||
        static_cast<std::size_t>(cx) * static_cast<std::size_t>(cy) > kMaxBitmapPixels) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->cx = cx;
    bitmap->cy = cy;
    bitmap->mono = mono;
    bitmap->pixels.assign(static_cast<std::size_t>(cx) * cy, fill & 0x00FFFFFFu);
    return ToHandle<HBITMAP>(Register(std::move(bitmap)));
}

Dc* NewDc(DcType type, HDC* handle) {
    Table& t = TheTable();
    auto dc = std::make_unique<Dc>();
    dc->type = type;
    dc->state.pen = ToHandle<HPEN>(t.stock[BLACK_PEN]);
    dc->state.brush = ToHandle<HBRUSH>(t.stock[WHITE_BRUSH]);
    dc->state.font = ToHandle<HFONT>(t.stock[SYSTEM_FONT]);
    if (type == DcType::Memory)
        dc->state.bitmap = DefaultBitmap();
    Dc* raw = dc.get();
    *handle = ToHandle<HDC>(Register(std::move(dc)));
    return raw;
}

Bitmap* SurfaceOf(Dc* dc) {
    switch (dc->type) {
    case DcType::Memory:
        return LookupBitmap(dc->state.bitmap);
    case DcType::Bitmap:
    case DcType::Printer:
        return LookupBitmap(dc->target);
    case DcType::Screen:
        break;
    }
    return nullptr;
}

COLORREF Canvas::Store(COLORREF c) const {
    c &= 0x00FFFFFFu;
    if (!mono)
        return c;
    int luma = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
    return luma >= 128 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

RECT Canvas::toDevice(const RECT& logical) const {
    RECT d{logical.left + dx, logical.top + dy, logical.right + dx, logical.bottom + dy};
    RECT r;
    if (!::IntersectRect(&r, &d, &clip))
        return {0, 0, 0, 0};
    return r;
}

void Canvas::fill(const RECT& device, COLORREF c) {
    RECT r;
    if (!pixels || !::IntersectRect(&r, &device, &clip))
        return;
    COLORREF v = Store(c);
    for (int y = r.top; y < r.bottom; ++y)
        std::fill_n(&at(r.left, y), r.right - r.left, v);
}

bool CanvasOf(HDC hdc, Dc*& dc, Canvas& canvas) {
    dc = LookupDc(hdc);
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    canvas = Canvas{};
    canvas.dx = dc->state.viewportOrg.x - dc->state.windowOrg.x;
    canvas.dy = dc->state.viewportOrg.y - dc->state.windowOrg.y;
    if (Bitmap* surface = SurfaceOf(dc)) {
        canvas.pixels = surface->pixels.data();
        canvas.cx = surface->cx;
        canvas.cy = surface->cy;
        canvas.mono = surface->mono;
        canvas.clip = ClipOf(dc);
    }
    return true;
}

bool BrushColor(HBRUSH brush, COLORREF& color) {
    auto value = reinterpret_cast<std::uintptr_t>(brush);
    if (value >= 1 && value <= kSysColors.size()) {
        color = kSysColors[value - 1];
        return true;
    }
    Brush* b = LookupAs<Brush>(brush, Kind::Brush);
    if (!b || b->style == BS_NULL)
        return false;
    color = b->color;
    return true;
}

Pen* PenOf(Dc* dc) {
    return LookupAs<Pen>(dc->state.pen, Kind::Pen);
}

Font* FontOf(Dc* dc) {
    if (Font* f = LookupAs<Font>(dc->state.font, Kind::Font))
        return f;
    return LookupAs<Font>(GetStockObject(SYSTEM_FONT), Kind::Font);
}

COLORREF Rop3(DWORD rop, COLORREF p, COLORREF s, COLORREF d) {
    // Bit i of the operation code is the result for pattern, source and destination bits
    // (p s d) = the bits of i; every minterm whose result is 1 adds its pixels.
    unsigned code = (rop >> 16) & 0xFFu;
    COLORREF result = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!(code & (1u << i)))
            continue;
        COLORREF term = ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
        result |= term;
    }
    return result & 0x00FFFFFFu;
}

} // namespace win::gdi

using namespace win::gdi;

// ---------------------------------------------------------------------------------------------
// Objects

HGDIOBJ GetStockObject(int i) {
    Table& t = TheTable();
    if (i < 0 || i >= static_cast<int>(t.stock.size()) || !t.stock[i])
        return nullptr;
    return ToHandle<HGDIOBJ>(t.stock[i]);
}

BOOL DeleteObject(HGDIOBJ ho) {
    Table& t = TheTable();
    {
        std::lock_guard lock(t.mutex);
        auto it = t.objects.find(reinterpret_cast<std::uintptr_t>(ho));
        if (it == t.objects.end() || it->second->kind == Kind::DC ||
            it->second->kind == Kind::Icon) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        Object* o = it->second.get();
        if (o->stock)
            return TRUE;
        if (o->kind == Kind::Bitmap) {
            auto* b = static_cast<Bitmap*>(o);
            if (b->selectedInto || b->targetOf > 0)
                return FALSE;
        } else if (IsSelected(t, it->first)) {
            return FALSE;
        }
    }
    return Unregister(ho) ? TRUE : FALSE;
}

DWORD GetObjectType(HGDIOBJ h) {
    Object* o = Lookup(h);
    if (!o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (o->kind) {
    case Kind::Pen:
        return OBJ_PEN;
    case Kind::Brush:
        return OBJ_BRUSH;
    case Kind::Font:
        return OBJ_FONT;
    case Kind::Bitmap:
        return OBJ_BITMAP;
    case Kind::Region:
        return OBJ_REGION;
    case Kind::DC:
        return static_cast<Dc*>(o)->type == DcType::Memory ? OBJ_MEMDC : OBJ_DC;
    case Kind::Icon:
        break;
    }
    return 0;
}

int GetObjectA(HGDIOBJ h, int c, LPVOID pv) {
    Object* o = Lookup(h);
    auto copy = [&](const auto& value) -> int {
        int size = static_cast<int>(sizeof value);
        if (!pv)
            return size;
        int n = std::min(size, c);
        if (n <= 0)
            return 0;
        std::memcpy(pv, &value, n);
        return n;
    };
    if (!o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (o->kind) {
    case Kind::Pen: {
        auto* p = static_cast<Pen*>(o);
        return copy(LOGPEN{static_cast<UINT>(p->style), POINT{p->width, 0}, p->color});
    }
    case Kind::Brush: {
        auto* b = static_cast<Brush*>(o);
        return copy(LOGBRUSH{b->style, b->color, 0});
    }
    case Kind::Font:
        return copy(static_cast<Font*>(o)->lf);
    case Kind::Bitmap: {
        auto* b = static_cast<Bitmap*>(o);
        WORD bits = b->mono ? 1 : 32;
        LONG stride = b->mono ? ((b->cx + 15) / 16) * 2 : b->cx * 4;
        return copy(BITMAP{0, b->cx, b->cy, stride, 1, bits, nullptr});
    }
    default:
        return 0;
    }
}

HPEN CreatePen(int iStyle, int cWidth, COLORREF color) {
    if (iStyle < PS_SOLID || iStyle > PS_INSIDEFRAME) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return ToHandle<HPEN>(Register(MakePen(iStyle, std::max(cWidth, 1), color & 0x00FFFFFFu)));
}

HBRUSH CreateSolidBrush(COLORREF color) {
    return ToHandle<HBRUSH>(Register(MakeBrush(BS_SOLID, color & 0x00FFFFFFu)));
}

DWORD GetSysColor(int nIndex) {
    if (nIndex < 0 || nIndex >= static_cast<int>(kSysColors.size()))
        return 0;
    return kSysColors[nIndex];
}

HBRUSH GetSysColorBrush(int nIndex) {
    if (nIndex < 0 || nIndex >= static_cast<int>(kSysColors.size()))
        return nullptr;
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    if (!t.sysBrushes[nIndex]) {
        auto brush = MakeBrush(BS_SOLID, kSysColors[nIndex]);
        brush->stock = true;
        t.sysBrushes[nIndex] = RegisterLocked(t, std::move(brush));
    }
    return ToHandle<HBRUSH>(t.sysBrushes[nIndex]);
}

HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits) {
    if (nPlanes != 1 || (nBitCount != 1 && nBitCount != 32)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    bool mono = nBitCount == 1;
    HBITMAP handle = NewBitmap(nWidth, nHeight, RGB(0, 0, 0), mono);
    Bitmap* b = LookupBitmap(handle);
    if (!b || !lpBits)
        return handle;
    const auto* bytes = static_cast<const BYTE*>(lpBits);
    for (int y = 0; y < nHeight; ++y) {
        for (int x = 0; x < nWidth; ++x) {
            COLORREF c;
            if (mono) {
                std::size_t stride = ((nWidth + 15) / 16) * 2;
                BYTE v = bytes[y * stride + x / 8];
                c = (v & (0x80 >> (x % 8))) ? RGB(255, 255, 255) : RGB(0, 0, 0);
            } else {
                const BYTE* p = bytes + (static_cast<std::size_t>(y) * nWidth + x) * 4;
                c = RGB(p[2], p[1], p[0]);
            }
            b->pixels[static_cast<std::size_t>(y) * nWidth + x] = c;
        }
    }
    return handle;
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    Dc* dc = LookupDc(hdc);
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    bool mono = false;
    if (dc->type == DcType::Memory)
        if (Bitmap* b = LookupBitmap(dc->state.bitmap))
            mono = b->mono;
    return NewBitmap(cx, cy, RGB(0, 0, 0), mono);
}

HRGN CreateRectRgn(int x1, int y1, int x2, int y2) {
    auto region = std::make_unique<Region>();
    region->rect = {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
    return ToHandle<HRGN>(Register(std::move(region)));
}

HRGN CreateRectRgnIndirect(const RECT* lprect) {
    if (!lprect)
        return nullptr;
    return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

// ---------------------------------------------------------------------------------------------
// Device contexts

HDC CreateCompatibleDC(HDC hdc) {
    int dpi = 96;
    if (hdc) {
        Dc* source = LookupDc(hdc);
        if (!source) {
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
        dpi = source->dpi;
    }
    HDC handle = nullptr;
    NewDc(DcType::Memory, &handle)->dpi = dpi;
    return handle;
}

HDC CreateDCA(LPCSTR pwszDriver, LPCSTR pwszDevice, LPCSTR pszPort, const void* pdm) {
    if (pwszDriver && strcasecmp(pwszDriver, "DISPLAY") == 0) {
        HDC handle = nullptr;
        NewDc(DcType::Screen, &handle);
        return handle;
    }
    if ((pwszDriver && strcasecmp(pwszDriver, "WINSPOOL") == 0) || (pwszDevice && *pwszDevice)) {
        // A Letter page, 8.5 by 11 inches.
        HBITMAP page = NewBitmap(816, 1056, RGB(255, 255, 255), false);
        HDC handle = win::CreatePrinterDC(page, 96);
        if (Dc* dc = LookupDc(handle))
            dc->ownsTarget = true;
        return handle;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

BOOL DeleteDC(HDC hdc) {
    Dc* dc = LookupDc(hdc);
    if (!dc || dc->stock) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    ReleaseBitmap(dc);
    HBITMAP owned = dc->ownsTarget ? dc->target : nullptr;
    Unregister(hdc);
    if (owned)
        DeleteObject(owned);
    return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
    Dc* dc = LookupDc(hdc);
    Object* o = Lookup(h);
    if (!dc || !o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    DcState& s = dc->state;
    switch (o->kind) {
    case Kind::Pen:
        return std::exchange(s.pen, static_cast<HPEN>(h));
    case Kind::Brush:
        return std::exchange(s.brush, static_cast<HBRUSH>(h));
    case Kind::Font:
        return std::exchange(s.font, static_cast<HFONT>(h));
    case Kind::Bitmap: {
        auto* b = static_cast<Bitmap*>(o);
        if (dc->type != DcType::Memory)
            return nullptr;
        if (s.bitmap == h)
            return h;
        if (b->selectedInto && !b->stock)
            return nullptr;
        if (Bitmap* old = LookupBitmap(s.bitmap); old && old->selectedInto == dc)
            old->selectedInto = nullptr;
        if (!b->stock)
            b->selectedInto = dc;
        return std::exchange(s.bitmap, static_cast<HBITMAP>(h));
    }
    case Kind::Region:
        return reinterpret_cast<HGDIOBJ>(
            static_cast<std::uintptr_t>(SelectClipRgn(hdc, static_cast<HRGN>(h))));
    default:
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
    Dc* dc = LookupDc(hdc);
    if (!dc)
        return nullptr;
    switch (type) {
    case OBJ_PEN:
        return dc->state.pen;
    case OBJ_BRUSH:
        return dc->state.brush;
    case OBJ_FONT:
        return dc->state.font;
    case OBJ_BITMAP:
        return dc->type == DcType::Memory ? dc->state.bitmap : dc->target;
    default:
        return nullptr;
    }
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    Dc* dc = LookupDc(hdc);
    return dc ? std::exchange(dc->state.textColor, color & 0x00FFFFFFu) : CLR_INVALID;
}

COLORREF GetTextColor(HDC hdc) {
    Dc* dc = LookupDc(hdc);
    return dc ? dc->state.textColor : CLR_INVALID;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    Dc* dc = LookupDc(hdc);
    return dc ? std::exchange(dc->state.bkColor, color & 0x00FFFFFFu) : CLR_INVALID;
}

COLORREF GetBkColor(HDC hdc) {
    Dc* dc = LookupDc(hdc);
    return dc ? dc->state.bkColor : CLR_INVALID;
}

int SetBkMode(HDC hdc, int mode) {
    Dc* dc = LookupDc(hdc);
    if (!dc || (mode != OPAQUE && mode != TRANSPARENT))
        return 0;
    return std::exchange(dc->state.bkMode, mode);
}

int GetBkMode(HDC hdc) {
    Dc* dc = LookupDc(hdc);
    return dc ? dc->state.bkMode : 0;
}

UINT SetTextAlign(HDC hdc, UINT align) {
    Dc* dc = LookupDc(hdc);
    return dc ? std::exchange(dc->state.textAlign, align) : GDI_ERROR;
}

UINT GetTextAlign(HDC hdc) {
    Dc* dc = LookupDc(hdc);
    return dc ? dc->state.textAlign : GDI_ERROR;
}

namespace {

BOOL SetOrigin(HDC hdc, POINT DcState::*member, int x, int y, bool offset, LPPOINT old) {
    Dc* dc = LookupDc(hdc);
    if (!dc)
        return FALSE;
    POINT& p = dc->state.*member;
    if (old)
        *old = p;
    p = offset ? POINT{p.x + x, p.y + y} : POINT{x, y};
    return TRUE;
}

BOOL GetOrigin(HDC hdc, POINT DcState::*member, LPPOINT out) {
    Dc* dc = LookupDc(hdc);
    if (!dc || !out)
        return FALSE;
    *out = dc->state.*member;
    return TRUE;
}

} // namespace

BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetOrigin(hdc, &DcState::windowOrg, x, y, false, lppt);
}
BOOL GetWindowOrgEx(HDC hdc, LPPOINT lppoint) {
    return GetOrigin(hdc, &DcState::windowOrg, lppoint);
}
BOOL OffsetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetOrigin(hdc, &DcState::windowOrg, x, y, true, lppt);
}
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetOrigin(hdc, &DcState::viewportOrg, x, y, false, lppt);
}
BOOL GetViewportOrgEx(HDC hdc, LPPOINT lppoint) {
    return GetOrigin(hdc, &DcState::viewportOrg, lppoint);
}
BOOL OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetOrigin(hdc, &DcState::viewportOrg, x, y, true, lppt);
}

BOOL LPtoDP(HDC hdc, LPPOINT lppt, int c) {
    Dc* dc = LookupDc(hdc);
    if (!dc || (!lppt && c > 0))
        return FALSE;
    for (int i = 0; i < c; ++i) {
        lppt[i].x += dc->state.viewportOrg.x - dc->state.windowOrg.x;
        lppt[i].y += dc->state.viewportOrg.y - dc->state.windowOrg.y;
    }
    return TRUE;
}

BOOL DPtoLP(HDC hdc, LPPOINT lppt, int c) {
    Dc* dc = LookupDc(hdc);
    if (!dc || (!lppt && c > 0))
        return FALSE;
    for (int i = 0; i < c; ++i) {
        lppt[i].x -= dc->state.viewportOrg.x - dc->state.windowOrg.x;
        lppt[i].y -= dc->state.viewportOrg.y - dc->state.windowOrg.y;
    }
    return TRUE;
}

int SaveDC(HDC hdc) {
    Dc* dc = LookupDc(hdc);
    if (!dc)
        return 0;
    dc->saved.push_back(dc->state);
    return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int nSavedDC) {
    Dc* dc = LookupDc(hdc);
    if (!dc)
        return FALSE;
    int levels = static_cast<int>(dc->saved.size());
    int level = nSavedDC < 0 ? levels + 1 + nSavedDC : nSavedDC;
    if (level < 1 || level > levels)
        return FALSE;
    DcState state = dc->saved[level - 1];
    dc->saved.resize(level - 1);
    // Objects freed since the state was saved are replaced by the defaults of a new DC.
    state.pen = Revalidated(state.pen, Kind::Pen, static_cast<HPEN>(GetStockObject(BLACK_PEN)));
    state.brush =
        Revalidated(state.brush, Kind::Brush, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    state.font =
        Revalidated(state.font, Kind::Font, static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
    HBITMAP wanted = state.bitmap;
    state.bitmap = dc->state.bitmap;
    dc->state = state;
    // The bitmap saved comes back if it can still be selected; otherwise the current one stays.
    if (dc->type == DcType::Memory && wanted != state.bitmap)
        SelectObject(hdc, wanted);
    return TRUE;
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    Dc* dc = LookupDc(hdc);
    if (!dc)
        return RGN_ERROR;
    int dx = dc->state.viewportOrg.x - dc->state.windowOrg.x;
    int dy = dc->state.viewportOrg.y - dc->state.windowOrg.y;
    RECT r{left + dx, top + dy, right + dx, bottom + dy};
    RECT current = ClipOf(dc);
    RECT clip;
    if (!::IntersectRect(&clip, &current, &r))
        clip = {0, 0, 0, 0};
    dc->state.clipped = true;
    dc->state.clip = clip;
    return RegionType(clip);
}

int SelectClipRgn(HDC hdc, HRGN hrgn) {
    Dc* dc = LookupDc(hdc);
    if (!dc)
        return RGN_ERROR;
    if (!hrgn) {
        dc->state.clipped = false;
        return RegionType(ClipOf(dc));
    }
    Region* region = LookupAs<Region>(hrgn, Kind::Region);
    if (!region)
        return RGN_ERROR;
    dc->state.clipped = true;
    dc->state.clip = region->rect;
    return RegionType(ClipOf(dc));
}

int GetClipBox(HDC hdc, LPRECT lprect) {
    Dc* dc = LookupDc(hdc);
    if (!dc || !lprect)
        return RGN_ERROR;
    RECT clip = ClipOf(dc);
    int dx = dc->state.viewportOrg.x - dc->state.windowOrg.x;
    int dy = dc->state.viewportOrg.y - dc->state.windowOrg.y;
    *lprect = {clip.left - dx, clip.top - dy, clip.right - dx, clip.bottom - dy};
    return RegionType(clip);
}

int GetDeviceCaps(HDC hdc, int index) {
    Dc* dc = LookupDc(hdc);
    if (!dc)
        return 0;
    bool printer = dc->type == DcType::Printer;
    Bitmap* surface = SurfaceOf(dc);
    int width = printer && surface ? surface->cx : win::kScreenWidth;
    int height = printer && surface ? surface->cy : win::kScreenHeight;
    switch (index) {
    case DRIVERVERSION:
        return 0x4000;
    case TECHNOLOGY:
        return printer ? DT_RASPRINTER : DT_RASDISPLAY;
    case HORZSIZE:
        return width * 254 / (dc->dpi * 10);
    case VERTSIZE:
        return height * 254 / (dc->dpi * 10);
    case HORZRES:
    case PHYSICALWIDTH:
        return printer || index == HORZRES ? width : 0;
    case VERTRES:
    case PHYSICALHEIGHT:
        return printer || index == VERTRES ? height : 0;
    case PHYSICALOFFSETX:
    case PHYSICALOFFSETY:
        return 0;
    case BITSPIXEL:
        return dc->type == DcType::Memory && surface && surface->mono ? 1 : 32;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return -1;
    case RASTERCAPS:
        return RC_BITBLT | RC_STRETCHBLT;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return dc->dpi;
    default:
        return 0;
    }
}

// ---------------------------------------------------------------------------------------------
// Surfaces

namespace win {

HBITMAP CreateSurfaceBitmap(int cx, int cy, COLORREF fill) {
    return NewBitmap(cx, cy, fill, false);
}

HDC CreateBitmapDC(HBITMAP target) {
    return NewTargetDc(DcType::Bitmap, target, 96);
}

HDC CreatePrinterDC(HBITMAP page, int dpi) {
    if (dpi < 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return NewTargetDc(DcType::Printer, page, dpi);
}

HDC ScreenDC() {
    static const HDC screen = [] {
        HDC handle = nullptr;
        NewDc(DcType::Screen, &handle)->stock = true;
        return handle;
    }();
    return screen;
}

std::size_t GdiObjectCount() {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    return static_cast<std::size_t>(std::count_if(t.objects.begin(), t.objects.end(),
                                                  [](const auto& o) { return !o.second->stock; }));
}

HBITMAP TargetBitmap(HDC hdc) {
    Dc* dc = LookupDc(hdc);
    if (!dc)
        return nullptr;
    if (dc->type == DcType::Memory)
        return dc->state.bitmap;
    return dc->target;
}

bool ReadPixels(HBITMAP bitmap, int& cx, int& cy, std::vector<COLORREF>& pixels) {
    Bitmap* b = LookupBitmap(bitmap);
    if (!b)
        return false;
    cx = b->cx;
    cy = b->cy;
    pixels = b->pixels;
    return true;
}

} // namespace win
