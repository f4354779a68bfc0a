// A push button drawn by the module: an icon (one while the mouse is over it or it is
// pressed, another otherwise) with or without its text, a flat look that shows its border
// only while the mouse is over it, and a tooltip.
#pragma once

#include "win/afxgdi.h"
#include "win/controls.h"

#include <string>

class CBitMapButtonCustom : public CButton {
public:
    CBitMapButtonCustom();
    ~CBitMapButtonCustom() override;

    // Loads the two icons of the module's resources (idOut 0: the first for both states) at
    // the size given.  False when the system draws the button or the icons are loaded already.
    bool SetIcons(HINSTANCE instance, UINT idIn, UINT idOut, BYTE width, BYTE height);
    void SetFlat(bool flat);

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    CToolTipCtrl* m_pToolTip = nullptr;
    std::string m_TipText;
    int m_TrackAlways = 0;
    int m_UseSystemDraw = 0;
    UINT m_IconInId = 0;
    UINT m_IconOutId = 0;
    int m_IconAlign = 0;
    int m_ShowText = 1;
    int m_FlatBorder = 1;
    int m_Flat = 0;
    int m_MouseOver = 0;
    HICON m_hIconIn = nullptr;
    HICON m_hIconOut = nullptr;
    BYTE m_IconHeight = 0;
    BYTE m_IconWidth = 0;
    COLORREF m_InactiveBg;
    COLORREF m_InactiveFg;
    COLORREF m_ActiveBg;
    COLORREF m_ActiveFg;

protected:
    void PreSubclassWindow() override;
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnKillFocus(CWnd* pNewWnd);

    DECLARE_MESSAGE_MAP()

private:
    void DrawBorder(CDC* dc, const CRect& r, bool pressed);
    void FreeIcons();
};
