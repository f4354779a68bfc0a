// The pixels a real window shows for a top-level window of the platform's window model.
//
// A window with a caption (a dialog) is shown as its client area in a real window whose own
// title bar carries the caption and the close box; any other window (a tooltip) is shown
// whole, frame included, in a window without decorations.
#pragma once

#include "win/gdi.h"
#include "win/geometry.h"
#include "win/types.h"

#include <QImage>
#include <QRect>

namespace cadhost::gui {

// Whether the window has a caption, which the real window's title bar takes over.
bool HasTitleBar(HWND window);
// The part of the window the real window shows, in screen coordinates of the model.
QRect ShownArea(HWND window);
// The pixels of a rectangle of a bitmap (in the bitmap's coordinates), as 32-bit RGB.
QImage ImageOf(HBITMAP bitmap, const QRect& part);
// What the model shows of the window now, painted first where it needs painting: the pixels
// of its shown area.  A null image for a handle that is not a window.
QImage ModelPicture(HWND window);

} // namespace cadhost::gui
