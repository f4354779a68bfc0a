// Icons from resource scripts, DrawIconEx and DrawState.
#include "gdi_text.h"

#include "win/resource.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <tuple>

using namespace win::gdi;

namespace {

// The image of a resource nearest in size to cx by cy: an exact match, else the one with the
// smallest difference (the larger on a tie, since shrinking loses less than growing).
const win::IconImage* Nearest(const win::IconResource& icon, int cx, int cy) {
    const win::IconImage* best = nullptr;
    long bestDistance = LONG_MAX;
    for (const win::IconImage& image : icon.images) {
        long distance = std::labs(image.width - cx) + std::labs(image.height - cy);
        if (distance < bestDistance || (distance == bestDistance && best &&
                                        image.width * image.height > best->width * best->height)) {
            best = &image;
            bestDistance = distance;
        }
    }
    return best;
}

// The icon of an image, scaled by nearest neighbour to cx by cy.  Null (ERROR_INVALID_DATA)
// when the image's rows do not match its size or name a colour the palette lacks.
std::unique_ptr<Icon> Build(const win::IconImage& image, int cx, int cy) {
    if (image.width < 1 || image.height < 1 ||
        image.rows.size() != static_cast<std::size_t>(image.height)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    int w = image.width, h = image.height;
    std::vector<COLORREF> color(static_cast<std::size_t>(w) * h, 0);
    std::vector<std::uint8_t> opaque(color.size(), 0);
    for (int y = 0; y < h; ++y) {
        const std::string& row = image.rows[y];
        if (row.size() != static_cast<std::size_t>(w)) {
            SetLastError(ERROR_INVALID_DATA);
            return nullptr;
        }
        for (int x = 0; x < w; ++x) {
            if (row[x] == ' ')
                continue;
            auto it = std::find_if(image.palette.begin(), image.palette.end(),
                                   [&](const auto& entry) { return entry.first == row[x]; });
            if (it == image.palette.end()) {
                SetLastError(ERROR_INVALID_DATA);
                return nullptr;
            }
            color[static_cast<std::size_t>(y) * w + x] = it->second & 0x00FFFFFFu;
            opaque[static_cast<std::size_t>(y) * w + x] = 1;
        }
    }
    auto icon = std::make_unique<Icon>();
    icon->cx = cx;
    icon->cy = cy;
    icon->color.resize(static_cast<std::size_t>(cx) * cy);
    icon->opaque.resize(icon->color.size());
    for (int y = 0; y < cy; ++y) {
        int sy = static_cast<int>((static_cast<long long>(y) * 2 + 1) * h / (2LL * cy));
        for (int x = 0; x < cx; ++x) {
            int sx = static_cast<int>((static_cast<long long>(x) * 2 + 1) * w / (2LL * cx));
            std::size_t from = static_cast<std::size_t>(sy) * w + sx;
            icon->color[static_cast<std::size_t>(y) * cx + x] = color[from];
            icon->opaque[static_cast<std::size_t>(y) * cx + x] = opaque[from];
        }
    }
    return icon;
}

bool ResourceId(LPCSTR name, UINT& id) {
    if (IS_INTRESOURCE(name)) {
        id = static_cast<UINT>(reinterpret_cast<std::uintptr_t>(name));
        return true;
    }
    // "#101" names resource 101, as in a resource script.
    if (name && name[0] == '#' && name[1]) {
        char* end = nullptr;
        unsigned long value = std::strtoul(name + 1, &end, 10);
        if (*end == '\0' && value <= 0xFFFF) {
            id = static_cast<UINT>(value);
            return true;
        }
    }
    return false;
}

// What a shared icon is drawn from: a script that is removed and another one added at the same
// address must not find the old icon, so the key holds the images' contents.
std::string Contents(const win::IconResource& icon) {
    std::string text;
    for (const win::IconImage& image : icon.images) {
        text += std::to_string(image.width) + 'x' + std::to_string(image.height) + ':';
        for (const auto& [c, color] : image.palette)
            text += c + std::to_string(color) + ',';
        for (const std::string& row : image.rows)
            text += row + '\n';
    }
    return text;
}

using SharedKey = std::tuple<HINSTANCE, UINT, int, int, std::string>;

std::mutex g_sharedMutex;
// Shared icons live as long as the process.
std::map<SharedKey, HICON>& SharedIcons() {
    static auto* shared = new std::map<SharedKey, HICON>;
    return *shared;
}

// An image for DrawState at its natural size: colours and the shape (1 where it is drawn).
struct Picture {
    int w = 0;
    int h = 0;
    std::vector<COLORREF> color;
    std::vector<std::uint8_t> shape;
};

// Draws the picture's pixels that fall inside the box with the picture's top left at `at`,
// each moved by `shift` pixels right and down, in one colour (or, null, its own colours).
void Paint(Canvas& c, const Picture& p, POINT at, const RECT& box, int shift,
           const COLORREF* color) {
    RECT visible{std::max<LONG>(box.left, at.x), std::max<LONG>(box.top, at.y),
                 std::min<LONG>(box.right, at.x + p.w), std::min<LONG>(box.bottom, at.y + p.h)};
    for (int y = visible.top; y < visible.bottom; ++y)
        for (int x = visible.left; x < visible.right; ++x) {
            std::size_t k = static_cast<std::size_t>(y - at.y) * p.w + (x - at.x);
            if (p.shape[k])
                c.put(x + shift, y + shift, color ? *color : p.color[k]);
        }
}

} // namespace

HANDLE LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad) {
    UINT id = 0;
    if (type != IMAGE_ICON || (fuLoad & LR_LOADFROMFILE) || cx < 0 || cy < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!ResourceId(name, id)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    const win::IconResource* resource = win::FindIconResource(hInst, id);
    if (!resource) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    if (resource->images.empty()) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    // A size of 0 is the resource's own (its first image's), or with LR_DEFAULTSIZE the
    // default icon size.
    if (cx == 0)
        cx = (fuLoad & LR_DEFAULTSIZE) ? kDefaultIconSize : resource->images.front().width;
    if (cy == 0)
        cy = (fuLoad & LR_DEFAULTSIZE) ? kDefaultIconSize : resource->images.front().height;
    if (cx > 1024 || cy > 1024) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    bool shared = fuLoad & LR_SHARED;
    SharedKey key{hInst, id, cx, cy, shared ? Contents(*resource) : std::string()};
    std::lock_guard lock(g_sharedMutex);
    if (shared)
        if (auto it = SharedIcons().find(key); it != SharedIcons().end())
            return reinterpret_cast<HANDLE>(it->second);
    std::unique_ptr<Icon> icon = Build(*Nearest(*resource, cx, cy), cx, cy);
    if (!icon)
        return nullptr;
    icon->stock = shared;
    HICON handle = ToHandle<HICON>(Register(std::move(icon)));
    if (shared)
        SharedIcons().emplace(key, handle);
    return reinterpret_cast<HANDLE>(handle);
}

HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
    return reinterpret_cast<HICON>(LoadImageA(hInstance, lpIconName, IMAGE_ICON, kDefaultIconSize,
                                              kDefaultIconSize, LR_SHARED));
}

BOOL DestroyIcon(HICON hIcon) {
    Icon* icon = LookupIcon(hIcon);
    if (!icon) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!icon->stock)
        Unregister(hIcon);
    return TRUE;
}

BOOL GetIconInfo(HICON hIcon, PICONINFO piconinfo) {
    Icon* icon = LookupIcon(hIcon);
    if (!icon || !piconinfo) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    HBITMAP mask = NewBitmap(icon->cx, icon->cy, RGB(0, 0, 0), true);
    HBITMAP color = NewBitmap(icon->cx, icon->cy, RGB(0, 0, 0), false);
    Bitmap* m = LookupBitmap(mask);
    Bitmap* c = LookupBitmap(color);
    for (std::size_t i = 0; i < icon->color.size(); ++i) {
        m->pixels[i] = icon->opaque[i] ? RGB(0, 0, 0) : RGB(255, 255, 255);
        c->pixels[i] = icon->opaque[i] ? icon->color[i] : RGB(0, 0, 0);
    }
    *piconinfo = {TRUE, static_cast<DWORD>(icon->cx / 2), static_cast<DWORD>(icon->cy / 2), mask,
                  color};
    return TRUE;
}

BOOL DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth,
                UINT istepIfAniCur, HBRUSH hbrFlickerFreeDraw, UINT diFlags) {
    Dc* dc;
    Canvas c;
    Icon* icon = LookupIcon(hIcon);
    if (!icon || !CanvasOf(hdc, dc, c)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    int w = cxWidth ? cxWidth : (diFlags & DI_DEFAULTSIZE) ? kDefaultIconSize : icon->cx;
    int h = cyWidth ? cyWidth : (diFlags & DI_DEFAULTSIZE) ? kDefaultIconSize : icon->cy;
    if (w <= 0 || h <= 0 || !c.pixels)
        return TRUE;
    int x0 = xLeft + c.dx, y0 = yTop + c.dy;
    COLORREF flicker;
    if (hbrFlickerFreeDraw && BrushColor(hbrFlickerFreeDraw, flicker))
        c.fill({x0, y0, x0 + w, y0 + h}, flicker);
    bool mask = diFlags & DI_MASK, image = diFlags & DI_IMAGE;
    RECT visible;
    RECT target{x0, y0, x0 + w, y0 + h};
    if (!::IntersectRect(&visible, &target, &c.clip))
        return TRUE;
    for (int y = visible.top - y0; y < visible.bottom - y0; ++y) {
        int sy = static_cast<int>((static_cast<long long>(y) * 2 + 1) * icon->cy / (2LL * h));
        for (int x = visible.left - x0; x < visible.right - x0; ++x) {
            int sx = static_cast<int>((static_cast<long long>(x) * 2 + 1) * icon->cx / (2LL * w));
            std::size_t k = static_cast<std::size_t>(sy) * icon->cx + sx;
            bool opaque = icon->opaque[k];
            if (mask && image) {
                if (opaque)
                    c.put(x0 + x, y0 + y, icon->color[k]);
            } else if (image) {
                c.put(x0 + x, y0 + y, opaque ? icon->color[k] : RGB(0, 0, 0));
            } else if (mask && opaque) {
                c.put(x0 + x, y0 + y, RGB(0, 0, 0));
            }
        }
    }
    return TRUE;
}

BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon) {
    return DrawIconEx(hDC, X, Y, hIcon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
}

BOOL DrawStateA(HDC hdc, HBRUSH hbrFore, DRAWSTATEPROC qfnCallBack, LPARAM lData, WPARAM wData,
                int x, int y, int cx, int cy, UINT uFlags) {
    Dc* dc;
    Canvas c;
    if (!CanvasOf(hdc, dc, c))
        return FALSE;
    UINT type = uFlags & 0x000F;
    UINT state = uFlags & 0x0FF0;
    bool shaped = state & (DSS_DISABLED | DSS_MONO);
    bool text = type == DST_TEXT || type == DST_PREFIXTEXT;
    bool underlines = type == DST_PREFIXTEXT && !(state & DSS_HIDEPREFIX);
    Picture p;
    MarkedText marked;
    FontInstance* font = nullptr;
    if (text) {
        auto* s = reinterpret_cast<LPCSTR>(lData);
        if (!s)
            return FALSE;
        std::size_t n = wData ? static_cast<std::size_t>(wData) : std::strlen(s);
        marked = ApplyPrefixes(DecodeUtf8(s, n), type == DST_PREFIXTEXT);
        font = &InstanceOf(*FontOf(dc));
        p.w = TextWidth(*font, marked.chars);
        p.h = font->metrics().tmHeight;
        if (shaped) {
            TextMask(*font, marked, underlines, p.w, p.h, p.shape);
            p.color.assign(p.shape.size(), dc->state.textColor);
        }
    } else if (type == DST_ICON) {
        Icon* icon = LookupIcon(reinterpret_cast<HICON>(lData));
        if (!icon)
            return FALSE;
        p = {icon->cx, icon->cy, icon->color, icon->opaque};
    } else if (type == DST_BITMAP) {
        Bitmap* b = LookupBitmap(reinterpret_cast<HBITMAP>(lData));
        if (!b)
            return FALSE;
        p = {b->cx, b->cy, b->pixels, std::vector<std::uint8_t>(b->pixels.size(), 1)};
        // Drawn as a shape, a bitmap's white is its background.
        if (shaped)
            for (std::size_t k = 0; k < p.shape.size(); ++k)
                p.shape[k] = p.color[k] != RGB(255, 255, 255);
    } else {
        (void)qfnCallBack;
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int boxW = cx ? cx : p.w, boxH = cy ? cy : p.h;
    if (boxW <= 0 || boxH <= 0 || !c.pixels)
        return TRUE;
    int x0 = x + c.dx, y0 = y + c.dy;
    RECT box{x0, y0, x0 + boxW, y0 + boxH};
    POINT at{(text && (uFlags & DSS_RIGHT)) ? x0 + boxW - p.w : x0, y0};
    if (text && !shaped) {
        // Text in its own colour, clipped to the box.
        Canvas inBox = c;
        if (!::IntersectRect(&inBox.clip, &c.clip, &box))
            return TRUE;
        DrawTextLine(inBox, *font, marked, at.x, at.y, dc->state.textColor,
                     !(state & DSS_PREFIXONLY), underlines);
        return TRUE;
    }
    if (state & DSS_DISABLED) {
        COLORREF hilight = GetSysColor(COLOR_3DHILIGHT), shadow = GetSysColor(COLOR_3DSHADOW);
        Paint(c, p, at, box, 1, &hilight);
        Paint(c, p, at, box, 0, &shadow);
    } else if (state & DSS_MONO) {
        COLORREF color = RGB(0, 0, 0);
        BrushColor(hbrFore, color);
        Paint(c, p, at, box, 0, &color);
    } else {
        Paint(c, p, at, box, 0, nullptr);
    }
    return TRUE;
}
