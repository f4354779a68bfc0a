#include "specsheet/bitmapbutton.h"

#include "specsheet/memdc.h"
#include "specsheet/tipcontrols.h"

#include "win/gdi.h"

BEGIN_MESSAGE_MAP(CBitMapButtonCustom, CButton)
ON_WM_MOUSEMOVE()
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

CBitMapButtonCustom::CBitMapButtonCustom()
    : m_InactiveBg(GetSysColor(COLOR_BTNFACE)), m_InactiveFg(GetSysColor(COLOR_BTNTEXT)),
      m_ActiveBg(GetSysColor(COLOR_BTNFACE)), m_ActiveFg(GetSysColor(COLOR_BTNTEXT)) {}

CBitMapButtonCustom::~CBitMapButtonCustom() {
    delete m_pToolTip;
    FreeIcons();
}

void CBitMapButtonCustom::FreeIcons() {
    if (m_hIconOut && m_hIconOut != m_hIconIn)
        DestroyIcon(m_hIconOut);
    if (m_hIconIn)
        DestroyIcon(m_hIconIn);
    m_hIconIn = m_hIconOut = nullptr;
}

void CBitMapButtonCustom::PreSubclassWindow() {
    if (!m_UseSystemDraw) {
        // The button draws itself from now on.
        UINT style = GetButtonStyle();
        SetButtonStyle((style & 0xF4) | BS_OWNERDRAW, TRUE);
    }
    CButton::PreSubclassWindow();
}

bool CBitMapButtonCustom::SetIcons(HINSTANCE instance, UINT idIn, UINT idOut, BYTE width,
                                   BYTE height) {
    if (m_UseSystemDraw || (idIn == m_IconInId && idOut == m_IconOutId))
        return false;
    FreeIcons();
    m_hIconIn = reinterpret_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCE(idIn), IMAGE_ICON, width, height, 0));
    m_hIconOut = idOut ? reinterpret_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCE(idOut),
                                                            IMAGE_ICON, width, height, 0))
                       : m_hIconIn;
    m_IconInId = idIn;
    m_IconOutId = idOut;
    m_IconWidth = width;
    m_IconHeight = height;
    if (m_hWnd)
        Invalidate();
    return true;
}

void CBitMapButtonCustom::SetFlat(bool flat) {
    if (m_UseSystemDraw)
        return;
    m_Flat = flat ? 1 : 0;
    if (m_hWnd)
        Invalidate();
}

BOOL CBitMapButtonCustom::PreTranslateMessage(MSG* pMsg) {
    if (m_pToolTip)
        m_pToolTip->RelayEvent(pMsg);
    return CButton::PreTranslateMessage(pMsg);
}

void CBitMapButtonCustom::OnMouseMove(UINT nFlags, CPoint point) {
    CButton::OnMouseMove(nFlags, point);
    if (m_UseSystemDraw)
        return;
    // A drag that started elsewhere does not light the button up.
    if ((nFlags & MK_LBUTTON) && !m_MouseOver)
        return;
    if (!m_Flat && !m_TrackAlways)
        return;
    CWnd* capture = CWnd::GetCapture();
    if (!capture || capture->m_hWnd != m_hWnd) {
        if (CWnd::GetActiveWindow() && GetParent()) {
            m_MouseOver = 1;
            SetCapture();
            Invalidate();
        }
        return;
    }
    CRect client;
    GetClientRect(&client);
    if (!client.PtInRect(point)) {
        if (m_MouseOver) {
            m_MouseOver = 0;
            Invalidate();
        }
        if (!(nFlags & MK_LBUTTON))
            ReleaseCapture();
    }
}

void CBitMapButtonCustom::OnKillFocus(CWnd* pNewWnd) {
    CButton::OnKillFocus(pNewWnd);
    if (m_Flat && !m_UseSystemDraw) {
        m_MouseOver = 0;
        Invalidate();
    }
}

void CBitMapButtonCustom::DrawBorder(CDC* dc, const CRect& r, bool pressed) {
    if (pressed && !m_Flat) {
        CBrush shadow(GetSysColor(COLOR_BTNSHADOW));
        dc->FrameRect(&r, &shadow);
    } else if (pressed && m_FlatBorder) {
        dc->Draw3dRect(&r, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHILIGHT));
    } else if (!pressed && m_Flat && m_MouseOver && m_FlatBorder) {
        dc->Draw3dRect(&r, GetSysColor(COLOR_BTNHILIGHT), GetSysColor(COLOR_BTNSHADOW));
    } else if (!pressed && !m_Flat) {
        // The raised 3D border: light outside and inside at the top and left, dark outside
        // and inside at the bottom and right.
        CPen outerLight(PS_SOLID, 1, GetSysColor(COLOR_BTNHILIGHT));
        CPen innerLight(PS_SOLID, 1, GetSysColor(COLOR_3DLIGHT));
        CPen outerDark(PS_SOLID, 1, GetSysColor(COLOR_3DDKSHADOW));
        CPen innerDark(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
        CPen* old = dc->SelectObject(&outerLight);
        dc->MoveTo(r.left, r.bottom - 1);
        dc->LineTo(r.left, r.top);
        dc->LineTo(r.right, r.top);
        dc->SelectObject(&innerLight);
        dc->MoveTo(r.left + 1, r.bottom - 2);
        dc->LineTo(r.left + 1, r.top + 1);
        dc->LineTo(r.right - 1, r.top + 1);
        dc->SelectObject(&outerDark);
        dc->MoveTo(r.left, r.bottom - 1);
        dc->LineTo(r.right - 1, r.bottom - 1);
        dc->LineTo(r.right - 1, r.top - 1);
        dc->SelectObject(&innerDark);
        dc->MoveTo(r.left + 1, r.bottom - 2);
        dc->LineTo(r.right - 2, r.bottom - 2);
        dc->LineTo(r.right - 2, r.top);
        dc->SelectObject(old);
    }
}

void CBitMapButtonCustom::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    if (m_UseSystemDraw || !lpDrawItemStruct || !lpDrawItemStruct->hDC)
        return;
    EnsureToolTip(*this, m_pToolTip, m_TipText);
    CDC* target = CDC::FromHandle(lpDrawItemStruct->hDC);
    CMemDC memDC(target, lpDrawItemStruct->rcItem);
    CDC* dc = &memDC;
    const UINT state = lpDrawItemStruct->itemState;
    const bool pressed = (state & ODS_SELECTED) != 0;
    const bool focused = (state & ODS_FOCUS) != 0;
    const bool disabled = (state & ODS_DISABLED) != 0;
    const bool lit = m_MouseOver || pressed;

    CRect r = lpDrawItemStruct->rcItem;
    if (!m_Flat && focused) {
        // The default-button look.
        CBrush black(RGB(0, 0, 0));
        dc->FrameRect(&r, &black);
        r.DeflateRect(1, 1);
    }
    dc->FillSolidRect(&r, lit ? m_ActiveBg : m_InactiveBg);
    DrawBorder(dc, r, pressed);
    if (!m_Flat && focused) {
        r.DeflateRect(3, 3);
        dc->DrawFocusRect(&r);
    }

    std::string title;
    if (m_ShowText)
        GetWindowText(title);
    CRect textArea = r;
    if (m_hIconIn) {
        HICON icon = lit ? m_hIconIn : m_hIconOut;
        int w = m_IconWidth, h = m_IconHeight;
        int x = r.left + (r.Width() - w) / 2;
        int y = r.top + (r.Height() - h) / 2;
        if (m_IconAlign == 0 && !title.empty()) {
            x = r.left + 3;
            textArea.left = x + w + 3;
        } else if (m_IconAlign == 1 && !title.empty()) {
            y = r.top;
            textArea.top = y + h;
        }
        if (pressed) {
            ++x;
            ++y;
        }
        dc->DrawState(CPoint(x, y), CSize(w, h), icon, disabled ? DSS_DISABLED : DSS_NORMAL,
                      static_cast<HBRUSH>(nullptr));
    }
    if (!title.empty()) {
        if (pressed)
            textArea.OffsetRect(1, 1);
        CFont* font = CFont::FromHandle(GetFontHandle());
        CFont* oldFont = font ? dc->SelectObject(font) : nullptr;
        dc->SetTextColor(lit ? m_ActiveFg : m_InactiveFg);
        dc->SetBkColor(lit ? m_ActiveBg : m_InactiveBg);
        CRect measured = textArea;
        dc->DrawText(title, &measured, DT_SINGLELINE | DT_CALCRECT);
        CPoint at(textArea.left + (textArea.Width() - measured.Width()) / 2,
                  textArea.top + (textArea.Height() - measured.Height()) / 2);
        dc->DrawState(at, measured.Size(), title.c_str(), disabled ? DSS_DISABLED : DSS_NORMAL,
                      TRUE, 0, static_cast<HBRUSH>(nullptr));
        if (oldFont)
            dc->SelectObject(oldFont);
    }
}
