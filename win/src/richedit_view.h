// The rich edit control's state and what it shows of it: the text area, the layout of the
// document at the area's width, the vertical scroll position and the scroll bar, the
// selection and the caret.
#pragma once

#include "richedit_layout.h"
#include "window_store.h"

#include "win/richedit.h"

#include <memory>
#include <string>

namespace win::richedit {

struct RichEditState : ControlState {
    TextDocument document;
    long limit = kRichEditDefaultLimit;
    DWORD eventMask = 0;
    long lineWidth = 0;
    long anchor = 0;        // where the selection started
    long caret = 0;         // where it ends: the caret
    int scrollY = 0;        // pixels of the text above the text area
    int goalX = -1;         // the x the caret keeps while it moves up and down (-1: its own)
    bool selecting = false; // the left button is down and drags the selection
    bool thumbDragging = false;
    int thumbGrip = 0;        // where the thumb was taken, from its top
    std::string pendingBytes; // the first bytes of a character typed as several

    // Made when first needed after the document or the area changed.
    std::unique_ptr<Layout> layout;
    int layoutWidth = -1;
    bool layoutWithBar = false;

    long selectionStart() const { return std::min(anchor, caret); }
    long selectionEnd() const { return std::max(anchor, caret); }
};

// The width of the vertical scroll bar.
inline constexpr int kScrollBarWidth = 16;

// The document changed: its layout is made again when next needed.
void Relayout(RichEditState& state);
// The layout of the document for the control's area now; the scroll bar takes its room when
// the control has WS_VSCROLL and the text is taller than the area.
Layout& LayoutOf(HWND edit, RichEditState& state);
// Where the text is drawn, in client coordinates (the scroll bar's room left out).
RECT TextArea(HWND edit, RichEditState& state);
// Whether the scroll bar shows, and its rectangle in client coordinates.
bool ScrollBarShows(HWND edit, RichEditState& state);
RECT ScrollBarRect(HWND edit, RichEditState& state);
// The thumb of the scroll bar.
RECT ThumbRect(HWND edit, RichEditState& state);
// How far the text scrolls at most.
int ScrollLimit(HWND edit, RichEditState& state);
// Scrolls to y (clamped) and repaints when it moved.
void ScrollTo(HWND edit, RichEditState& state, int y);
// Scrolls so that the caret's line shows whole.
void ScrollCaretIntoView(HWND edit, RichEditState& state);
// The position under a point of the client area.
long PositionAtPoint(HWND edit, RichEditState& state, POINT client);

// Draws the control's client area.
void Paint(HWND edit, RichEditState& state, HDC dc);

} // namespace win::richedit
