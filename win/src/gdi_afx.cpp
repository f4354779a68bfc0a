// The framework's drawing classes and their handle maps.
#include "win/afxgdi.h"

#include "gdi_objects.h"

#include <cstdio>
#include <memory>
#include <unordered_map>

namespace {

// The objects of one thread: those that own their handles (permanent) and the temporary ones
// FromHandle made for other handles.
struct HandleMaps {
    std::unordered_map<HGDIOBJ, CGdiObject*> objects;
    std::unordered_map<HDC, CDC*> dcs;
    std::unordered_map<HGDIOBJ, std::unique_ptr<CGdiObject>> tempObjects;
    std::unordered_map<HDC, std::unique_ptr<CDC>> tempDcs;

    void dropTemporaryObjects() {
        // A temporary object does not own its handle: it lets go before it is destroyed.
        for (auto& [handle, object] : tempObjects)
            object->m_hObject = nullptr;
        tempObjects.clear();
    }
    void dropTemporaryDcs() {
        for (auto& [handle, dc] : tempDcs)
            dc->m_hDC = dc->m_hAttribDC = nullptr;
        tempDcs.clear();
    }
    ~HandleMaps() {
        dropTemporaryObjects();
        dropTemporaryDcs();
    }
};

// The maps are reached through a plain pointer so that objects destroyed after the thread's
// maps (static objects at exit) find none rather than a destroyed one.
thread_local HandleMaps* t_maps = nullptr;
thread_local bool t_mapsGone = false;

struct MapsOwner {
    ~MapsOwner() {
        delete t_maps;
        t_maps = nullptr;
        t_mapsGone = true;
    }
};

HandleMaps* Maps() {
    if (t_mapsGone)
        return nullptr;
    if (!t_maps) {
        static thread_local MapsOwner owner;
        (void)owner;
        t_maps = new HandleMaps;
    }
    return t_maps;
}

std::unique_ptr<CGdiObject> NewWrapper(HGDIOBJ h) {
    switch (GetObjectType(h)) {
    case OBJ_PEN:
        return std::make_unique<CPen>();
    case OBJ_BRUSH:
        return std::make_unique<CBrush>();
    case OBJ_FONT:
        return std::make_unique<CFont>();
    case OBJ_BITMAP:
        return std::make_unique<CBitmap>();
    case OBJ_REGION:
        return std::make_unique<CRgn>();
    default:
        return std::make_unique<CGdiObject>();
    }
}

template <class T> T* Typed(HGDIOBJ h) {
    return dynamic_cast<T*>(CGdiObject::FromHandle(h));
}

} // namespace

namespace win::gdi {

void ForgetTemporary(const void* handle) {
    HandleMaps* maps = t_mapsGone ? nullptr : t_maps;
    if (!maps)
        return;
    auto h = const_cast<void*>(handle);
    if (auto it = maps->tempObjects.find(h); it != maps->tempObjects.end()) {
        it->second->m_hObject = nullptr;
        maps->tempObjects.erase(it);
    }
    if (auto it = maps->tempDcs.find(static_cast<HDC>(h)); it != maps->tempDcs.end()) {
        it->second->m_hDC = it->second->m_hAttribDC = nullptr;
        maps->tempDcs.erase(it);
    }
}

} // namespace win::gdi

void win::DeleteTempGdiObjects() {
    CGdiObject::DeleteTempMap();
    CDC::DeleteTempMap();
}

// ---------------------------------------------------------------------------------------------
// CGdiObject and its kinds

CGdiObject::~CGdiObject() {
    if (m_hObject)
        DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
    if (m_hObject || !hObject)
        return FALSE;
    m_hObject = hObject;
    if (HandleMaps* maps = Maps())
        maps->objects[hObject] = this;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    if (h)
        if (HandleMaps* maps = Maps())
            if (auto it = maps->objects.find(h); it != maps->objects.end() && it->second == this)
                maps->objects.erase(it);
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject)
        return FALSE;
    return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const {
    return ::GetObjectA(m_hObject, nCount, lpObject);
}

UINT CGdiObject::GetObjectType() const {
    return ::GetObjectType(m_hObject);
}

BOOL CGdiObject::CreateStockObject(int nIndex) {
    return Attach(::GetStockObject(nIndex));
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) {
    HandleMaps* maps = Maps();
    if (!hObject || !maps || !::GetObjectType(hObject))
        return nullptr;
    if (auto it = maps->objects.find(hObject); it != maps->objects.end())
        return it->second;
    auto& slot = maps->tempObjects[hObject];
    if (!slot) {
        slot = NewWrapper(hObject);
        slot->m_hObject = hObject;
    }
    return slot.get();
}

void CGdiObject::DeleteTempMap() {
    if (HandleMaps* maps = Maps())
        maps->dropTemporaryObjects();
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
    return Attach(::CreatePen(nPenStyle, nWidth, crColor));
}

CPen* CPen::FromHandle(HPEN hPen) {
    return Typed<CPen>(hPen);
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) {
    return Attach(::CreateSolidBrush(crColor));
}

BOOL CBrush::CreateSysColorBrush(int nIndex) {
    return Attach(::GetSysColorBrush(nIndex));
}

CBrush* CBrush::FromHandle(HBRUSH hBrush) {
    return Typed<CBrush>(hBrush);
}

BOOL CFont::CreateFontIndirect(const LOGFONT* lpLogFont) {
    return Attach(::CreateFontIndirectA(lpLogFont));
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                       BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                       BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality, BYTE nPitchAndFamily,
                       LPCSTR lpszFacename) {
    return Attach(::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic,
                                bUnderline, cStrikeOut, nCharSet, nOutPrecision, nClipPrecision,
                                nQuality, nPitchAndFamily, lpszFacename));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCSTR lpszFaceName, CDC* pDC) {
    LOGFONT lf{};
    lf.lfHeight = nPointSize;
    lf.lfCharSet = DEFAULT_CHARSET;
    if (lpszFaceName)
        std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", lpszFaceName);
    return CreatePointFontIndirect(&lf, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC) {
    if (!lpLogFont)
        return FALSE;
    HDC hdc = pDC && pDC->m_hAttribDC ? pDC->m_hAttribDC : win::ScreenDC();
    int dpi = ::GetDeviceCaps(hdc, LOGPIXELSY);
    // Tenths of a point to pixels, rounded as MulDiv rounds.
    long long num = static_cast<long long>(lpLogFont->lfHeight) * dpi;
    long long pixels = (num >= 0 ? num + 360 : num - 360) / 720;
    LOGFONT lf = *lpLogFont;
    lf.lfHeight = -static_cast<LONG>(pixels < 0 ? -pixels : pixels);
    return CreateFontIndirect(&lf);
}

CFont* CFont::FromHandle(HFONT hFont) {
    return Typed<CFont>(hFont);
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount,
                           const void* lpBits) {
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
    HDC hdc = pDC ? pDC->m_hDC : win::ScreenDC();
    return Attach(::CreateCompatibleBitmap(hdc, nWidth, nHeight));
}

CBitmap* CBitmap::FromHandle(HBITMAP hBitmap) {
    return Typed<CBitmap>(hBitmap);
}

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2) {
    return Attach(::CreateRectRgn(x1, y1, x2, y2));
}

BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect) {
    return Attach(::CreateRectRgnIndirect(lpRect));
}

CRgn* CRgn::FromHandle(HRGN hRgn) {
    return Typed<CRgn>(hRgn);
}

// ---------------------------------------------------------------------------------------------
// CDC

CDC::~CDC() {
    if (m_hDC)
        DeleteDC();
}

BOOL CDC::Attach(HDC hDC) {
    if (m_hDC || !hDC)
        return FALSE;
    m_hDC = m_hAttribDC = hDC;
    m_bPrinting = ::GetDeviceCaps(hDC, TECHNOLOGY) == DT_RASPRINTER;
    if (HandleMaps* maps = Maps())
        maps->dcs[hDC] = this;
    return TRUE;
}

HDC CDC::Detach() {
    HDC h = m_hDC;
    if (h)
        if (HandleMaps* maps = Maps())
            if (auto it = maps->dcs.find(h); it != maps->dcs.end() && it->second == this)
                maps->dcs.erase(it);
    m_hDC = m_hAttribDC = nullptr;
    m_bPrinting = FALSE;
    return h;
}

CDC* CDC::FromHandle(HDC hDC) {
    HandleMaps* maps = Maps();
    if (!hDC || !maps || !::GetObjectType(hDC))
        return nullptr;
    if (auto it = maps->dcs.find(hDC); it != maps->dcs.end())
        return it->second;
    auto& slot = maps->tempDcs[hDC];
    if (!slot) {
        slot = std::make_unique<CDC>();
        slot->m_hDC = slot->m_hAttribDC = hDC;
        slot->m_bPrinting = ::GetDeviceCaps(hDC, TECHNOLOGY) == DT_RASPRINTER;
    }
    return slot.get();
}

void CDC::DeleteTempMap() {
    if (HandleMaps* maps = Maps())
        maps->dropTemporaryDcs();
}

BOOL CDC::CreateDC(LPCSTR lpszDriverName, LPCSTR lpszDeviceName, LPCSTR lpszOutput,
                   const void* lpInitData) {
    return Attach(::CreateDCA(lpszDriverName, lpszDeviceName, lpszOutput, lpInitData));
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    HDC made = ::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr);
    if (!Attach(made)) {
        if (made)
            ::DeleteDC(made);
        return FALSE;
    }
    return TRUE;
}

BOOL CDC::DeleteDC() {
    if (!m_hDC)
        return FALSE;
    return ::DeleteDC(Detach());
}

int CDC::GetDeviceCaps(int nIndex) const {
    return ::GetDeviceCaps(m_hAttribDC, nIndex);
}

int CDC::SaveDC() {
    return ::SaveDC(m_hDC);
}

BOOL CDC::RestoreDC(int nSavedDC) {
    return ::RestoreDC(m_hDC, nSavedDC);
}

CGdiObject* CDC::SelectStockObject(int nIndex) {
    return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(nIndex)));
}

CPen* CDC::SelectObject(CPen* pPen) {
    return pPen ? CPen::FromHandle(static_cast<HPEN>(::SelectObject(m_hDC, pPen->m_hObject)))
                : nullptr;
}

CBrush* CDC::SelectObject(CBrush* pBrush) {
    return pBrush
               ? CBrush::FromHandle(static_cast<HBRUSH>(::SelectObject(m_hDC, pBrush->m_hObject)))
               : nullptr;
}

CFont* CDC::SelectObject(CFont* pFont) {
    return pFont ? CFont::FromHandle(static_cast<HFONT>(::SelectObject(m_hDC, pFont->m_hObject)))
                 : nullptr;
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    return pBitmap ? CBitmap::FromHandle(
                         static_cast<HBITMAP>(::SelectObject(m_hDC, pBitmap->m_hObject)))
                   : nullptr;
}

CGdiObject* CDC::SelectObject(CGdiObject* pObject) {
    return pObject ? CGdiObject::FromHandle(::SelectObject(m_hDC, pObject->m_hObject)) : nullptr;
}

int CDC::SelectObject(CRgn* pRgn) {
    return ::SelectClipRgn(m_hDC, pRgn ? static_cast<HRGN>(pRgn->m_hObject) : nullptr);
}

HGDIOBJ CDC::SelectObject(HGDIOBJ hObject) {
    return ::SelectObject(m_hDC, hObject);
}

CPen* CDC::GetCurrentPen() const {
    return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hDC, OBJ_PEN)));
}

CBrush* CDC::GetCurrentBrush() const {
    return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hDC, OBJ_BRUSH)));
}

CFont* CDC::GetCurrentFont() const {
    return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT)));
}

CBitmap* CDC::GetCurrentBitmap() const {
    return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP)));
}

COLORREF CDC::SetTextColor(COLORREF crColor) {
    COLORREF old = ::SetTextColor(m_hDC, crColor);
    if (m_hAttribDC && m_hAttribDC != m_hDC)
        old = ::SetTextColor(m_hAttribDC, crColor);
    return old;
}

COLORREF CDC::SetBkColor(COLORREF crColor) {
    COLORREF old = ::SetBkColor(m_hDC, crColor);
    if (m_hAttribDC && m_hAttribDC != m_hDC)
        old = ::SetBkColor(m_hAttribDC, crColor);
    return old;
}

int CDC::SetBkMode(int nBkMode) {
    int old = ::SetBkMode(m_hDC, nBkMode);
    if (m_hAttribDC && m_hAttribDC != m_hDC)
        old = ::SetBkMode(m_hAttribDC, nBkMode);
    return old;
}

UINT CDC::SetTextAlign(UINT nFlags) {
    UINT old = ::SetTextAlign(m_hDC, nFlags);
    if (m_hAttribDC && m_hAttribDC != m_hDC)
        old = ::SetTextAlign(m_hAttribDC, nFlags);
    return old;
}

CPoint CDC::SetWindowOrg(int x, int y) {
    POINT old{0, 0};
    ::SetWindowOrgEx(m_hDC, x, y, &old);
    if (m_hAttribDC && m_hAttribDC != m_hDC)
        ::SetWindowOrgEx(m_hAttribDC, x, y, &old);
    return CPoint(old);
}

CPoint CDC::GetWindowOrg() const {
    POINT p{0, 0};
    ::GetWindowOrgEx(m_hAttribDC, &p);
    return CPoint(p);
}

CPoint CDC::OffsetWindowOrg(int nWidth, int nHeight) {
    POINT old{0, 0};
    ::OffsetWindowOrgEx(m_hDC, nWidth, nHeight, &old);
    if (m_hAttribDC && m_hAttribDC != m_hDC)
        ::OffsetWindowOrgEx(m_hAttribDC, nWidth, nHeight, &old);
    return CPoint(old);
}

CPoint CDC::SetViewportOrg(int x, int y) {
    POINT old{0, 0};
    ::SetViewportOrgEx(m_hDC, x, y, &old);
    if (m_hAttribDC && m_hAttribDC != m_hDC)
        ::SetViewportOrgEx(m_hAttribDC, x, y, &old);
    return CPoint(old);
}

CPoint CDC::GetViewportOrg() const {
    POINT p{0, 0};
    ::GetViewportOrgEx(m_hAttribDC, &p);
    return CPoint(p);
}

CPoint CDC::OffsetViewportOrg(int nWidth, int nHeight) {
    POINT old{0, 0};
    ::OffsetViewportOrgEx(m_hDC, nWidth, nHeight, &old);
    if (m_hAttribDC && m_hAttribDC != m_hDC)
        ::OffsetViewportOrgEx(m_hAttribDC, nWidth, nHeight, &old);
    return CPoint(old);
}

int CDC::IntersectClipRect(int x1, int y1, int x2, int y2) {
    return ::IntersectClipRect(m_hDC, x1, y1, x2, y2);
}

int CDC::IntersectClipRect(LPCRECT lpRect) {
    return IntersectClipRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}

int CDC::SelectClipRgn(CRgn* pRgn) {
    return ::SelectClipRgn(m_hDC, pRgn ? static_cast<HRGN>(pRgn->m_hObject) : nullptr);
}

void CDC::FillRect(LPCRECT lpRect, CBrush* pBrush) {
    ::FillRect(m_hDC, lpRect, pBrush ? static_cast<HBRUSH>(pBrush->m_hObject) : nullptr);
}

void CDC::FrameRect(LPCRECT lpRect, CBrush* pBrush) {
    ::FrameRect(m_hDC, lpRect, pBrush ? static_cast<HBRUSH>(pBrush->m_hObject) : nullptr);
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
    ::SetBkColor(m_hDC, clr);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
    RECT r{x, y, x + cx, y + cy};
    FillSolidRect(&r, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight) {
    Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
               lpRect->bottom - lpRect->top, clrTopLeft, clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight) {
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, clrBottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, clrBottomRight);
}

CPoint CDC::MoveTo(int x, int y) {
    POINT old{0, 0};
    ::MoveToEx(m_hDC, x, y, &old);
    if (m_hAttribDC && m_hAttribDC != m_hDC)
        ::MoveToEx(m_hAttribDC, x, y, &old);
    return CPoint(old);
}

CPoint CDC::GetCurrentPosition() const {
    POINT p{0, 0};
    ::GetCurrentPositionEx(m_hAttribDC, &p);
    return CPoint(p);
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                 DWORD dwRop) {
    return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC ? pSrcDC->m_hDC : nullptr, xSrc, ySrc,
                    dwRop);
}

int CDC::DrawText(LPCSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat) {
    return ::DrawTextA(m_hDC, lpszString, nCount, lpRect, nFormat);
}

int CDC::DrawText(const std::string& str, LPRECT lpRect, UINT nFormat) {
    return DrawText(str.data(), static_cast<int>(str.size()), lpRect, nFormat);
}

CSize CDC::GetTextExtent(LPCSTR lpszString, int nCount) const {
    SIZE size{0, 0};
    ::GetTextExtentPoint32A(m_hAttribDC, lpszString, nCount, &size);
    return CSize(size);
}

CSize CDC::GetTextExtent(const std::string& str) const {
    return GetTextExtent(str.data(), static_cast<int>(str.size()));
}

int CDC::GetTextFace(std::string& rString) const {
    char name[LF_FACESIZE] = {};
    int n = ::GetTextFaceA(m_hAttribDC, LF_FACESIZE, name);
    rString.assign(name, n > 0 ? static_cast<std::size_t>(n) : 0);
    return n;
}

BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush) {
    return ::DrawStateA(m_hDC, hBrush, nullptr, reinterpret_cast<LPARAM>(hIcon), 0, pt.x, pt.y,
                        size.cx, size.cy, nFlags | DST_ICON);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, CBrush* pBrush) {
    return DrawState(pt, size, hIcon, nFlags,
                     pBrush ? static_cast<HBRUSH>(pBrush->m_hObject) : nullptr);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, HBRUSH hBrush) {
    return ::DrawStateA(m_hDC, hBrush, nullptr, reinterpret_cast<LPARAM>(hBitmap), 0, pt.x, pt.y,
                        size.cx, size.cy, nFlags | DST_BITMAP);
}

BOOL CDC::DrawState(CPoint pt, CSize size, CBitmap* pBitmap, UINT nFlags, CBrush* pBrush) {
    return DrawState(pt, size, pBitmap ? static_cast<HBITMAP>(pBitmap->m_hObject) : nullptr, nFlags,
                     pBrush ? static_cast<HBRUSH>(pBrush->m_hObject) : nullptr);
}

BOOL CDC::DrawState(CPoint pt, CSize size, LPCSTR lpszText, UINT nFlags, BOOL bPrefixText,
                    int nTextLen, HBRUSH hBrush) {
    return ::DrawStateA(m_hDC, hBrush, nullptr, reinterpret_cast<LPARAM>(lpszText),
                        static_cast<WPARAM>(nTextLen > 0 ? nTextLen : 0), pt.x, pt.y, size.cx,
                        size.cy, nFlags | (bPrefixText ? DST_PREFIXTEXT : DST_TEXT));
}

BOOL CDC::DrawState(CPoint pt, CSize size, LPCSTR lpszText, UINT nFlags, BOOL bPrefixText,
                    int nTextLen, CBrush* pBrush) {
    return DrawState(pt, size, lpszText, nFlags, bPrefixText, nTextLen,
                     pBrush ? static_cast<HBRUSH>(pBrush->m_hObject) : nullptr);
}
