// The rich edit class: its contents are a document of the text engine (text/textdocument.h),
// read from Rich Text or plain text and written back as either.  Character positions and the
// text limit count a paragraph break as one character, as the control does.
#include "window_store.h"

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

struct RichEditState : ControlState {
    TextDocument document;
    long limit = kRichEditDefaultLimit;
    DWORD eventMask = 0;
    long lineWidth = 0;
    long selStart = 0;
    long selEnd = 0;
};

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

long CharCount(const std::string& utf8) {
    long n = 0;
    for (unsigned char c : utf8)
        if (!IsContinuation(c))
            ++n;
    return n;
}

// The byte offset of the character at `chars` (the end when the text is shorter).
std::size_t ByteOffset(const std::string& utf8, long chars) {
    std::size_t i = 0;
    long seen = 0;
    while (i < utf8.size()) {
        if (!IsContinuation(static_cast<unsigned char>(utf8[i]))) {
            if (seen == chars)
                return i;
            ++seen;
        }
        ++i;
    }
    return utf8.size();
}

// The plain text as the control counts it: paragraphs separated by one "\r".
std::string Text(const TextDocument& d) {
    std::string text = cadhost::text::WritePlainText(d);
    std::replace(text.begin(), text.end(), '\n', '\r');
    return text;
}

long Length(const TextDocument& d) {
    return CharCount(Text(d));
}

// Cuts the document after `limit` characters.
void Truncate(TextDocument& d, long limit) {
    long left = limit;
    for (std::size_t p = 0; p < d.paragraphs.size(); ++p) {
        if (p > 0) {
            if (left == 0) {
                d.paragraphs.resize(p);
                return;
            }
            --left; // the break before this paragraph
        }
        auto& runs = d.paragraphs[p].runs;
        for (std::size_t r = 0; r < runs.size(); ++r) {
            if (runs[r].format.hidden)
                continue;
            long n = CharCount(runs[r].text);
            if (n <= left) {
                left -= n;
                continue;
            }
            runs[r].text.resize(ByteOffset(runs[r].text, left));
            runs.resize(r + 1);
            d.paragraphs.resize(p + 1);
            return;
        }
    }
}

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
    Truncate(document, s.limit);
    s.document = std::move(document);
    s.selStart = s.selEnd = 0;
    InvalidateRect(h, nullptr, TRUE);
    Notify(h, s, EN_CHANGE, ENM_CHANGE);
}

// An edit made on the plain text: the document becomes that text, as far as the limit lets
// the inserted text in.
void ReplaceRange(HWND h, RichEditState& s, long from, long to, const std::string& inserted) {
    std::string text = Text(s.document);
    std::string head = text.substr(0, ByteOffset(text, from));
    std::string tail = text.substr(ByteOffset(text, to));
    long room = std::max(0L, s.limit - CharCount(head) - CharCount(tail));
    std::string kept = inserted.substr(0, ByteOffset(inserted, room));
    s.document = cadhost::text::ReadPlainText(head + kept + tail);
    s.selStart = s.selEnd = CharCount(head) + CharCount(kept);
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
            s->selStart = 0;
            s->selEnd = length;
        } else if (from == -1) {
            s->selStart = s->selEnd;
        } else {
            s->selStart = clamp(from);
            s->selEnd = clamp(to);
        }
        return 0;
    }
    case EM_GETSEL:
        return AnswerGetSel(static_cast<std::size_t>(s->selStart),
                            static_cast<std::size_t>(s->selEnd), w, l);
    case EM_REPLACESEL:
        ReplaceRange(h, *s, std::min(s->selStart, s->selEnd), std::max(s->selStart, s->selEnd),
                     l ? reinterpret_cast<const char*>(l) : "");
        return 0;
    case WM_CHAR: {
        if (GetWindowLongPtrA(h, GWL_STYLE) & ES_READONLY)
            return 0;
        unsigned char c = static_cast<unsigned char>(w);
        long from = std::min(s->selStart, s->selEnd), to = std::max(s->selStart, s->selEnd);
        if (c == 0x08) {
            if (from == to && from > 0)
                --from;
            ReplaceRange(h, *s, from, to, "");
        } else if (c == '\r') {
            ReplaceRange(h, *s, from, to, "\r");
        } else if (c >= 0x20 || c == '\t') {
            ReplaceRange(h, *s, from, to, std::string(1, static_cast<char>(c)));
        }
        return 0;
    }
    case WM_KEYDOWN: {
        long from = std::min(s->selStart, s->selEnd), to = std::max(s->selStart, s->selEnd);
        long length = Length(s->document);
        switch (w) {
        case VK_DELETE:
            if (GetWindowLongPtrA(h, GWL_STYLE) & ES_READONLY)
                return 0;
            ReplaceRange(h, *s, from, from == to ? std::min(to + 1, length) : to, "");
            return 0;
        case VK_LEFT:
            s->selStart = s->selEnd = std::max(0L, from - (from == to ? 1 : 0));
            return 0;
        case VK_RIGHT:
            s->selStart = s->selEnd = std::min(length, to + (from == to ? 1 : 0));
            return 0;
        case VK_HOME:
        case VK_PRIOR:
            s->selStart = s->selEnd = 0;
            return 0;
        case VK_END:
        case VK_NEXT:
            s->selStart = s->selEnd = length;
            return 0;
        default:
            return 0;
        }
    }
    case WM_GETDLGCODE:
        return EditDialogCode(h, l);
    case WM_LBUTTONDOWN:
        SetFocus(h);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (HDC dc = BeginPaint(h, &ps))
            PaintRichEdit(h, dc);
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
