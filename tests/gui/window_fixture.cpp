#include "window_fixture.h"

int CountPixels(const QImage& image, QPoint center, int radius,
                const std::function<bool(QColor)>& wanted) {
    int count = 0;
    for (int y = center.y() - radius; y <= center.y() + radius; ++y)
        for (int x = center.x() - radius; x <= center.x() + radius; ++x)
            if (image.valid(x, y) && wanted(image.pixelColor(x, y)))
                ++count;
    return count;
}

bool IsHighlight(QColor c) {
    return c.blue() > 180 && c.red() < 140 && c.blue() - c.red() > 80;
}

bool IsInk(QColor c) {
    return c.red() + c.green() + c.blue() < 3 * 200;
}
