// The rich edit class: its contents are a document of the text engine (text/textdocument.h),
// read from Rich Text or plain text and written back as either, shown with its formatting
// (richedit_view.h) and edited in place: typing, deleting and pasting change the characters
// they touch and keep the formatting of the rest.  Character positions and the text limit
// count a paragraph break as one character, as the control does.
#include "richedit_view.h"

#include "win/crtstring.h"
#include "win/paint.h"
#include "win/richedit.h"

#include "text/plaintextreader.h"
#include "text/plaintextwriter.h"
#include "text/rtfconvert.h"
#include "text/rtfreader.h"
#include "text/rtfwriter.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace win {

namespace {

using cadhost::text::TextDocument;
using richedit::CharCount;
using richedit::Length;
using richedit::RichEditState;

// Rich Text as the control takes it: its opening "{\rtf" in any letter case.
bool LooksLikeRtf(std::string& bytes) {
    std::size_t start = bytes.find_first_not_of(" \t\r\n");
    if (start != std::string::npos && bytes.size() >= start + 5 &&
        _strnicmp(bytes.c_str() + start, "{\\rtf", 5) == 0)
        bytes.replace(start, 5, "{\\rtf");
    return cadhost::text::FindRtfStart(bytes) != std::string::npos;
}

void Notify(HWND h, const RichEditState& s, UINT code, DWORD mask) {
    if (s.eventMask & mask)
        NotifyParent(h, code);
}

void SetDocument(HWND h, RichEditState& s, TextDocument document) {
    richedit::Truncate(document, s.limit);
    s.document = std::move(document);
    s.anchor = s.caret = 0;
    s.scrollY = 0;
    s.goalX = -1;
    richedit::Relayout(s);
    InvalidateRect(h, nullptr, TRUE);
    Notify(h, s, EN_CHANGE, ENM_CHANGE);
}

// An edit of the characters [from, to): the text put in their place, as far as the limit lets
// it in, takes the format of the place; the rest keeps its own.
void ReplaceRange(HWND h, RichEditState& s, long from, long to, const std::string& inserted) {
    long length = Length(s.document);
    long room = std::max(0L, s.limit - (length - (to - from)));
    std::string kept = inserted.substr(0, richedit::ByteOffset(inserted, room));
    long before = Length(s.document) - (to - from);
    richedit::Replace(s.document, from, to, kept);
    s.anchor = s.caret = from + (Length(s.document) - before);
    s.goalX = -1;
    richedit::Relayout(s);
    richedit::ScrollCaretIntoView(h, s);
    InvalidateRect(h, nullptr, TRUE);
    Notify(h, s, EN_CHANGE, ENM_CHANGE);
}

LRESULT StreamIn(HWND h, RichEditState& s, WPARAM format, EDITSTREAM* es) {
    if (!es || !es->pfnCallback)
        return 0;
    std::string bytes;
    BYTE buffer[4096];
    es->dwError = 0;
    for (;;) {
        LONG got = 0;
        DWORD error = es->pfnCallback(es->dwCookie, buffer, sizeof buffer, &got);
        if (error) {
            es->dwError = error;
            break;
        }
        if (got <= 0)
            break;
        bytes.append(reinterpret_cast<const char*>(buffer),
                     static_cast<std::size_t>(std::min<LONG>(got, sizeof buffer)));
    }
    // Rich Text asked for but not given is read as text, as the control does.
    TextDocument document =
        (format & SF_RTF) && LooksLikeRtf(bytes)
            ? cadhost::text::ReadRtf(bytes.substr(cadhost::text::FindRtfStart(bytes)))
            : cadhost::text::ReadPlainText(bytes);
    SetDocument(h, s, std::move(document));
    return Length(s.document);
}

// The plain text of the document as the control hands it out: paragraphs end with CR LF, and
// text of symbol fonts (kept at U+F000 + its code) is its codes again, as the control gives it.
std::string PlainText(const TextDocument& d, const char* lineEnd) {
    std::string text = cadhost::text::WritePlainText(d);
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            out += lineEnd;
        } else if (c == 0xEF && i + 2 < text.size() &&
                   (static_cast<unsigned char>(text[i + 1]) & 0xFC) == 0x80) {
            // U+F000..U+F0FF: EF 80..83 xx.
            unsigned code = ((static_cast<unsigned char>(text[i + 1]) & 0x03u) << 6) |
                            (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
            if (code >= 0x20 && code < 0x7F) {
                out += static_cast<char>(code);
                i += 2;
            } else {
                out += text[i];
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string PlainOut(const TextDocument& d) {
    return PlainText(d, "\r\n");
}

LRESULT StreamOut(const RichEditState& s, WPARAM format, EDITSTREAM* es) {
    if (!es || !es->pfnCallback)
        return 0;
    std::string bytes =
        (format & SF_RTF) ? cadhost::text::WriteRtf(s.document) : PlainOut(s.document);
    es->dwError = 0;
    std::size_t done = 0;
    while (done < bytes.size()) {
        LONG chunk = static_cast<LONG>(std::min<std::size_t>(4096, bytes.size() - done));
        LONG taken = 0;
        DWORD error = es->pfnCallback(es->dwCookie, reinterpret_cast<LPBYTE>(bytes.data() + done),
                                      chunk, &taken);
        if (error) {
            es->dwError = error;
            break;
        }
        if (taken <= 0)
            break;
        done += static_cast<std::size_t>(std::min(taken, chunk));
    }
    return static_cast<LRESULT>(done);
}

// ---- Moving the caret and scrolling ----

bool KeyDown(int key) {
    return GetKeyState(key) < 0;
}

DWORD StyleOf(HWND h) {
    return static_cast<DWORD>(GetWindowLongPtrA(h, GWL_STYLE));
}

// Puts the caret at a position; with `extend` the selection stretches from its anchor.
void MoveCaret(HWND h, RichEditState& s, long position, bool extend, bool keepGoal = false) {
    position = std::clamp(position, 0L, Length(s.document));
    s.caret = position;
    if (!extend)
        s.anchor = position;
    if (!keepGoal)
        s.goalX = -1;
    richedit::ScrollCaretIntoView(h, s);
    InvalidateRect(h, nullptr, FALSE);
}

// The caret a number of lines up (negative) or down, at the x it keeps while it goes.
long LinesAway(HWND h, RichEditState& s, int lines) {
    richedit::Layout& layout = richedit::LayoutOf(h, s);
    POINT at = layout.CaretPoint(s.caret);
    if (s.goalX < 0)
        s.goalX = at.x;
    long index = static_cast<long>(layout.LineOf(s.caret)) + lines;
    long last = static_cast<long>(layout.lines().size()) - 1;
    if (index < 0)
        return 0;
    if (index > last)
        return Length(s.document);
    const richedit::Line& line = layout.lines()[static_cast<std::size_t>(index)];
    return layout.PositionAt(POINT{s.goalX, line.top});
}

// How many lines fill the text area from the caret's line on.
int LinesPerPage(HWND h, RichEditState& s) {
    richedit::Layout& layout = richedit::LayoutOf(h, s);
    RECT area = richedit::TextArea(h, s);
    int room = area.bottom - area.top;
    std::size_t index = layout.LineOf(s.caret);
    int lines = 0;
    for (std::size_t i = index; i < layout.lines().size() && room >= layout.lines()[i].height;
         ++i) {
        room -= layout.lines()[i].height;
        ++lines;
    }
    return std::max(1, lines);
}

// The index of the first line that shows (at least in part) in the text area.
std::size_t FirstVisibleLine(HWND h, RichEditState& s) {
    richedit::Layout& layout = richedit::LayoutOf(h, s);
    const auto& lines = layout.lines();
    std::size_t i = 0;
    while (i + 1 < lines.size() && lines[i].top + lines[i].height <= s.scrollY)
        ++i;
    return i;
}

// Scrolls by whole lines from the first one that shows.
void ScrollLines(HWND h, RichEditState& s, long lines) {
    richedit::Layout& layout = richedit::LayoutOf(h, s);
    long target = static_cast<long>(FirstVisibleLine(h, s)) + lines;
    target = std::clamp(target, 0L, static_cast<long>(layout.lines().size()) - 1);
    richedit::ScrollTo(h, s, layout.lines()[static_cast<std::size_t>(target)].top);
}

void ScrollPage(HWND h, RichEditState& s, bool down) {
    RECT area = richedit::TextArea(h, s);
    int page = std::max(1, area.bottom - area.top - 8);
    richedit::ScrollTo(h, s, s.scrollY + (down ? page : -page));
}

bool IsWordChar(unsigned char c) {
    return std::isalnum(c) || c >= 0x80 || c == '_';
}

// The word around a position, as a double click selects it.
void SelectWord(HWND h, RichEditState& s, long position) {
    std::string text = richedit::Text(s.document);
    long length = Length(s.document);
    auto charAt = [&](long p) {
        return static_cast<unsigned char>(text[richedit::ByteOffset(text, p)]);
    };
    long from = position, to = position;
    while (from > 0 && IsWordChar(charAt(from - 1)))
        --from;
    while (to < length && IsWordChar(charAt(to)))
        ++to;
    s.anchor = from;
    MoveCaret(h, s, to, true);
}

LRESULT KeyPressed(HWND h, RichEditState& s, WPARAM key) {
    const bool shift = KeyDown(VK_SHIFT);
    const bool control = KeyDown(VK_CONTROL);
    const bool readOnly = (StyleOf(h) & ES_READONLY) != 0;
    const long from = s.selectionStart(), to = s.selectionEnd();
    richedit::Layout& layout = richedit::LayoutOf(h, s);
    const richedit::Line& line = layout.lines()[layout.LineOf(s.caret)];
    switch (key) {
    case VK_DELETE:
        if (!readOnly)
            ReplaceRange(h, s, from, from == to ? std::min(to + 1, Length(s.document)) : to, "");
        return 0;
    case VK_LEFT:
        MoveCaret(h, s, shift || from == to ? s.caret - 1 : from, shift);
        return 0;
    case VK_RIGHT:
        MoveCaret(h, s, shift || from == to ? s.caret + 1 : to, shift);
        return 0;
    case VK_UP:
        MoveCaret(h, s, LinesAway(h, s, -1), shift, true);
        return 0;
    case VK_DOWN:
        MoveCaret(h, s, LinesAway(h, s, 1), shift, true);
        return 0;
    case VK_HOME:
        MoveCaret(h, s, control ? 0 : line.first, shift);
        return 0;
    case VK_END:
        MoveCaret(h, s, control ? Length(s.document) : line.end - (line.endsParagraph ? 0 : 1),
                  shift);
        return 0;
    case VK_PRIOR:
    case VK_NEXT: {
        int lines = LinesPerPage(h, s);
        long target = LinesAway(h, s, key == VK_NEXT ? lines : -lines);
        ScrollPage(h, s, key == VK_NEXT);
        MoveCaret(h, s, target, shift, true);
        return 0;
    }
    default:
        return 0;
    }
}

// The bytes of a character typed as several WM_CHAR messages (UTF-8 beyond ASCII) come
// together before the character goes in.
bool CompleteCharacter(std::string& pending, unsigned char c) {
    if (c < 0x80) {
        pending.assign(1, static_cast<char>(c));
        return true;
    }
    if ((c & 0xC0) != 0x80)
        pending.clear();
    pending.push_back(static_cast<char>(c));
    auto lead = static_cast<unsigned char>(pending[0]);
    std::size_t needed = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return pending.size() >= needed;
}

LRESULT CharTyped(HWND h, RichEditState& s, WPARAM w) {
    if (StyleOf(h) & ES_READONLY)
        return 0;
    unsigned char c = static_cast<unsigned char>(w);
    long from = s.selectionStart(), to = s.selectionEnd();
    if (c == 0x08) {
        if (from == to && from > 0)
            --from;
        ReplaceRange(h, s, from, to, "");
    } else if (c == '\r') {
        ReplaceRange(h, s, from, to, "\r");
    } else if ((c >= 0x20 && c != 0x7F) || c == '\t') {
        if (CompleteCharacter(s.pendingBytes, c)) {
            ReplaceRange(h, s, from, to, s.pendingBytes);
            s.pendingBytes.clear();
        }
    }
    return 0;
}

// ---- The mouse ----

LRESULT ButtonDown(HWND h, RichEditState& s, LPARAM l) {
    SetFocus(h);
    POINT at{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    RECT bar = richedit::ScrollBarRect(h, s);
    if (bar.right > bar.left && PtInRect(&bar, at)) {
        RECT thumb = richedit::ThumbRect(h, s);
        int arrow = bar.right - bar.left;
        if (at.y < bar.top + arrow)
            ScrollLines(h, s, -1);
        else if (at.y >= bar.bottom - arrow)
            ScrollLines(h, s, 1);
        else if (at.y < thumb.top)
            ScrollPage(h, s, false);
        else if (at.y >= thumb.bottom)
            ScrollPage(h, s, true);
        else {
            s.thumbDragging = true;
            s.thumbGrip = at.y - thumb.top;
            SetCapture(h);
        }
        return 0;
    }
    MoveCaret(h, s, richedit::PositionAtPoint(h, s, at), KeyDown(VK_SHIFT));
    s.selecting = true;
    SetCapture(h);
    return 0;
}

LRESULT MouseMoved(HWND h, RichEditState& s, LPARAM l) {
    POINT at{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    if (s.thumbDragging) {
        RECT bar = richedit::ScrollBarRect(h, s);
        RECT thumb = richedit::ThumbRect(h, s);
        int arrow = bar.right - bar.left;
        int track = bar.bottom - bar.top - 2 * arrow - (thumb.bottom - thumb.top);
        if (track > 0) {
            int top = at.y - s.thumbGrip - (bar.top + arrow);
            richedit::ScrollTo(h, s, top * richedit::ScrollLimit(h, s) / track);
        }
    } else if (s.selecting) {
        MoveCaret(h, s, richedit::PositionAtPoint(h, s, at), true);
    }
    return 0;
}

LRESULT ButtonUp(HWND h, RichEditState& s) {
    bool held = s.selecting || s.thumbDragging;
    s.selecting = s.thumbDragging = false;
    if (held && GetCapture() == h)
        ReleaseCapture();
    return 0;
}

} // namespace

std::unique_ptr<ControlState> MakeRichEditState() {
    return std::make_unique<RichEditState>();
}

LRESULT RichEditProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    RichEditState* s = StateOf<RichEditState>(h);
    if (!s)
        return DefWindowProcA(h, m, w, l);
    switch (m) {
    case EM_STREAMIN:
        return StreamIn(h, *s, w, reinterpret_cast<EDITSTREAM*>(l));
    case EM_STREAMOUT:
        return StreamOut(*s, w, reinterpret_cast<EDITSTREAM*>(l));
    case EM_EXLIMITTEXT:
        s->limit = l > 0 ? static_cast<long>(l) : 65536;
        return 0;
    case EM_LIMITTEXT:
        s->limit = w > 0 ? static_cast<long>(w) : 65536;
        return 0;
    case EM_GETLIMITTEXT:
        return s->limit;
    case EM_SETEVENTMASK: {
        DWORD previous = s->eventMask;
        s->eventMask = static_cast<DWORD>(l);
        return previous;
    }
    case EM_GETEVENTMASK:
        return s->eventMask;
    case EM_SETTARGETDEVICE:
        s->lineWidth = static_cast<long>(l);
        richedit::Relayout(*s);
        InvalidateRect(h, nullptr, TRUE);
        return TRUE;
    case WM_SETTEXT: {
        std::string text = l ? reinterpret_cast<const char*>(l) : "";
        SetDocument(h, *s,
                    LooksLikeRtf(text)
                        ? cadhost::text::ReadRtf(text.substr(cadhost::text::FindRtfStart(text)))
                        : cadhost::text::ReadPlainText(text));
        return TRUE;
    }
    case WM_GETTEXT: {
        char* buffer = reinterpret_cast<char*>(l);
        if (!buffer || w == 0)
            return 0;
        std::string text = PlainOut(s->document);
        std::size_t n = std::min(text.size(), static_cast<std::size_t>(w - 1));
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(PlainOut(s->document).size());
    case EM_SETSEL: {
        long length = Length(s->document);
        auto clamp = [length](long v) { return v < 0 ? length : std::min(v, length); };
        long from = static_cast<long>(static_cast<std::intptr_t>(w));
        long to = static_cast<long>(l);
        if (from == 0 && to == -1) {
            s->anchor = 0;
            s->caret = length;
        } else if (from == -1) {
            s->anchor = s->caret;
        } else {
            s->anchor = clamp(from);
            s->caret = clamp(to);
        }
        s->goalX = -1;
        InvalidateRect(h, nullptr, FALSE);
        return 0;
    }
    case EM_GETSEL:
        return AnswerGetSel(static_cast<std::size_t>(s->selectionStart()),
                            static_cast<std::size_t>(s->selectionEnd()), w, l);
    case EM_REPLACESEL:
        ReplaceRange(h, *s, s->selectionStart(), s->selectionEnd(),
                     l ? reinterpret_cast<const char*>(l) : "");
        return 0;
    case EM_SCROLLCARET:
        richedit::ScrollCaretIntoView(h, *s);
        return 0;
    case EM_GETFIRSTVISIBLELINE:
        return static_cast<LRESULT>(FirstVisibleLine(h, *s));
    case EM_GETLINECOUNT:
        return static_cast<LRESULT>(richedit::LayoutOf(h, *s).lines().size());
    case EM_LINEFROMCHAR: {
        long position = static_cast<long>(static_cast<std::intptr_t>(w));
        return static_cast<LRESULT>(
            richedit::LayoutOf(h, *s).LineOf(position < 0 ? s->caret : position));
    }
    case EM_LINESCROLL:
        ScrollLines(h, *s, static_cast<long>(l));
        return TRUE;
    case EM_SCROLL:
        if (w == SB_LINEUP || w == SB_LINEDOWN)
            ScrollLines(h, *s, w == SB_LINEUP ? -1 : 1);
        else if (w == SB_PAGEUP || w == SB_PAGEDOWN)
            ScrollPage(h, *s, w == SB_PAGEDOWN);
        return TRUE;
    case WM_CHAR:
        return CharTyped(h, *s, w);
    case WM_KEYDOWN:
        return KeyPressed(h, *s, w);
    case WM_GETDLGCODE:
        return EditDialogCode(h, l);
    case WM_LBUTTONDOWN:
        return ButtonDown(h, *s, l);
    case WM_LBUTTONDBLCLK:
        SetFocus(h);
        SelectWord(h, *s,
                   richedit::PositionAtPoint(h, *s, POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)}));
        return 0;
    case WM_MOUSEMOVE:
        return MouseMoved(h, *s, l);
    case WM_LBUTTONUP:
        return ButtonUp(h, *s);
    case WM_CAPTURECHANGED:
        s->selecting = s->thumbDragging = false;
        return 0;
    case WM_MOUSEWHEEL: {
        // Three lines a notch, as the system scrolls.
        int delta = static_cast<short>(HIWORD(w));
        ScrollLines(h, *s, -3L * delta / WHEEL_DELTA);
        return 0;
    }
    case WM_SIZE:
        richedit::Relayout(*s);
        return DefWindowProcA(h, m, w, l);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(h, nullptr, FALSE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (HDC dc = BeginPaint(h, &ps))
            richedit::Paint(h, *s, dc);
        EndPaint(h, &ps);
        return 0;
    }
    default:
        return DefWindowProcA(h, m, w, l);
    }
}

long RichEditLineWidth(HWND richEdit) {
    RichEditState* s = StateOf<RichEditState>(richEdit);
    return s ? s->lineWidth : 0;
}

std::string RichEditRtf(HWND richEdit) {
    RichEditState* s = StateOf<RichEditState>(richEdit);
    return s ? cadhost::text::WriteRtf(s->document) : std::string();
}

std::string RichEditPlainText(HWND richEdit) {
    RichEditState* s = StateOf<RichEditState>(richEdit);
    return s ? PlainText(s->document, "\n") : std::string();
}

} // namespace win

BOOL CRichEditCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateEx(0, RICHEDIT_CLASSA, "", dwStyle | WS_CHILD, rect, pParentWnd, nID);
}
