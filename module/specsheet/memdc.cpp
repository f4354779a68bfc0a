#include "specsheet/memdc.h"

CMemDC::CMemDC(CDC* pDC, const RECT& rect)
    : m_pDC(pDC), m_rect(rect), m_bMemDC(!pDC->IsPrinting()) {
    if (m_bMemDC) {
        CreateCompatibleDC(pDC);
        m_bitmap.CreateCompatibleBitmap(pDC, m_rect.Width(), m_rect.Height());
        m_pOldBitmap = SelectObject(&m_bitmap);
        // Drawing uses the target's coordinates.
        SetWindowOrg(m_rect.left, m_rect.top);
    } else {
        m_bPrinting = pDC->IsPrinting();
        m_hDC = pDC->m_hDC;
        m_hAttribDC = pDC->m_hAttribDC;
    }
}

CMemDC::~CMemDC() {
    if (m_bMemDC) {
        m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left,
                      m_rect.top, SRCCOPY);
        SelectObject(m_pOldBitmap);
    } else {
        // The target's handles are only borrowed.
        m_hDC = nullptr;
        m_hAttribDC = nullptr;
    }
}
