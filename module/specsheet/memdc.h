// A device context that draws off-screen over a rectangle of its target and copies the
// picture to the target in one go when it is destroyed, so that a control's repaint does not
// flicker.  On a printer it draws straight onto the target.
#pragma once

#include "win/afxgdi.h"

class CMemDC : public CDC {
public:
    CMemDC(CDC* pDC, const RECT& rect);
    ~CMemDC() override;
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    CMemDC* operator->() { return this; }

private:
    CDC* m_pDC;   // the target
    CRect m_rect; // the rectangle drawn, in the target's coordinates
    CBitmap* m_pOldBitmap = nullptr;
    CBitmap m_bitmap; // the off-screen picture
    BOOL m_bMemDC;    // drawing goes off-screen (not to a printer)
};
