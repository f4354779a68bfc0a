#include "gui/windowpicture.h"

#include "win/messages.h"
#include "win/paint.h"
#include "win/window.h"

#include <vector>

namespace cadhost::gui {

bool HasTitleBar(HWND window) {
    win::WindowInfo info;
    return win::GetWindowInfo(window, info) && (info.style & WS_CAPTION) == WS_CAPTION;
}

QRect ShownArea(HWND window) {
    RECT r{};
    if (HasTitleBar(window)) {
        GetClientRect(window, &r);
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        OffsetRect(&r, origin.x, origin.y);
    } else {
        GetWindowRect(window, &r);
    }
    return QRect(r.left, r.top, std::max<LONG>(1, r.right - r.left),
                 std::max<LONG>(1, r.bottom - r.top));
}

QImage ImageOf(HBITMAP bitmap, const QRect& part) {
    int cx = 0, cy = 0;
    std::vector<COLORREF> pixels;
    if (!win::ReadPixels(bitmap, cx, cy, pixels))
        return {};
    QRect area = part.intersected(QRect(0, 0, cx, cy));
    QImage image(part.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y - part.top()));
        for (int x = area.left(); x <= area.right(); ++x) {
            COLORREF c = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(cx) +
                                static_cast<std::size_t>(x)];
            row[x - part.left()] = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
        }
    }
    return image;
}

QImage ModelPicture(HWND window) {
    HBITMAP picture = win::ComposeWindowPicture(window);
    if (!picture)
        return {};
    RECT whole{};
    GetWindowRect(window, &whole);
    QRect shown =
        ShownArea(window).translated(-static_cast<int>(whole.left), -static_cast<int>(whole.top));
    QImage image = ImageOf(picture, shown);
    DeleteObject(picture);
    return image;
}

} // namespace cadhost::gui
