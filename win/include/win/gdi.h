// The drawing layer: device contexts that draw into pixel buffers, with the pens, brushes,
// fonts, bitmaps, regions and icons they draw with.
//
// Every surface is a bitmap of 32-bit pixels held as COLORREF values.  A memory DC draws into
// the bitmap selected into it; a bitmap DC (win::CreateBitmapDC) draws into the bitmap it was
// made for and answers as a display, the way a window's DC does; a printer DC draws into a
// page bitmap and answers as a raster printer.  The screen DC answers the display's metrics and
// has no pixels of its own: what is drawn on it goes nowhere.
//
// Coordinates are in the MM_TEXT mapping: a logical point (x, y) lands on the device pixel
// (x - windowOrg.x + viewportOrg.x, y - windowOrg.y + viewportOrg.y).  Rectangles exclude
// their right and bottom edges.  The clip rectangle is kept in device pixels.
//
// GDI handles are numbers handed out once and never reused, kept in their own table apart from
// kernel HANDLEs.  DeleteObject, DeleteDC and DestroyIcon free them; stock objects and the
// system colour brushes are never freed (deleting one answers TRUE and does nothing, as
// Windows does).  An object selected into a DC is not deleted: DeleteObject answers FALSE and
// the object stays valid until it has been deselected.
//
// Text is drawn with FreeType from the fonts fontconfig finds.  The dialog fonts MS Sans
// Serif, MS Shell Dlg, Microsoft Sans Serif and Tahoma, and Arial and Helvetica, are drawn with
// Liberation Sans, which has the same advances; Times New Roman with Liberation Serif; Courier
// and Courier New with Liberation Mono.  Glyphs are hinted and placed at whole pixels, so the
// same text always gives the same pixels: one bit a pixel, the crisp classic look, unless the
// font asks for ANTIALIASED_QUALITY or CLEARTYPE_QUALITY, which draw grey-level antialiased
// glyphs.  Strings are UTF-8.
//
// The system colours are the classic "Windows Standard" scheme: grey (192,192,192) faces,
// white windows, navy (0,0,128) selection.
//
// A DC is used by one thread at a time; the handle table may be used from any thread.
#pragma once

#include "win/geometry.h"
#include "win/types.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;

// Handles.  A pen, brush, font, bitmap or region handle converts to HGDIOBJ; the way back is a
// cast, as on Windows.
using HGDIOBJ = void*;
struct HDC__;
using HDC = HDC__*;
struct HBITMAP__;
using HBITMAP = HBITMAP__*;
struct HPEN__;
using HPEN = HPEN__*;
struct HBRUSH__;
using HBRUSH = HBRUSH__*;
struct HFONT__;
using HFONT = HFONT__*;
struct HRGN__;
using HRGN = HRGN__*;
struct HICON__;
using HICON = HICON__*;

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;
inline constexpr COLORREF CLR_NONE = 0xFFFFFFFFu;

// Errors of resource loading.
inline constexpr LONG ERROR_INVALID_DATA = 13;
inline constexpr LONG ERROR_RESOURCE_DATA_NOT_FOUND = 1812;
inline constexpr LONG ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
inline constexpr LONG ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

// ---------------------------------------------------------------------------------------------
// Object descriptions

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

struct LOGPEN {
    UINT lopnStyle;
    POINT lopnWidth;
    COLORREF lopnColor;
};

struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    UINT_PTR lbHatch;
};

inline constexpr int LF_FACESIZE = 32;

struct LOGFONTA {
    LONG lfHeight; // < 0: character height (the em) in pixels; > 0: cell height; 0: default
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight; // FW_*
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];
};
using LOGFONT = LOGFONTA;
using LPLOGFONTA = LOGFONTA*;
using LPLOGFONT = LOGFONTA*;

struct TEXTMETRICA {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};
using TEXTMETRIC = TEXTMETRICA;
using LPTEXTMETRICA = TEXTMETRICA*;
using LPTEXTMETRIC = TEXTMETRICA*;

struct ICONINFO {
    BOOL fIcon;
    DWORD xHotspot;
    DWORD yHotspot;
    HBITMAP hbmMask; // 1 (white) where the icon is transparent, 0 (black) where it is opaque
    HBITMAP hbmColor;
};
using PICONINFO = ICONINFO*;

// ---------------------------------------------------------------------------------------------
// Constants

// GetObjectType
inline constexpr DWORD OBJ_PEN = 1;
inline constexpr DWORD OBJ_BRUSH = 2;
inline constexpr DWORD OBJ_DC = 3;
inline constexpr DWORD OBJ_FONT = 6;
inline constexpr DWORD OBJ_BITMAP = 7;
inline constexpr DWORD OBJ_REGION = 8;
inline constexpr DWORD OBJ_MEMDC = 10;

// GetStockObject
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int LTGRAY_BRUSH = 1;
inline constexpr int GRAY_BRUSH = 2;
inline constexpr int DKGRAY_BRUSH = 3;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int HOLLOW_BRUSH = NULL_BRUSH;
inline constexpr int WHITE_PEN = 6;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;
inline constexpr int OEM_FIXED_FONT = 10;
inline constexpr int ANSI_FIXED_FONT = 11;
inline constexpr int ANSI_VAR_FONT = 12;
inline constexpr int SYSTEM_FONT = 13;
inline constexpr int DEVICE_DEFAULT_FONT = 14;
inline constexpr int SYSTEM_FIXED_FONT = 16;
inline constexpr int DEFAULT_GUI_FONT = 17;

// Pen styles
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_DASHDOT = 3;
inline constexpr int PS_DASHDOTDOT = 4;
inline constexpr int PS_NULL = 5;
inline constexpr int PS_INSIDEFRAME = 6;

// Brush styles
inline constexpr UINT BS_SOLID = 0;
inline constexpr UINT BS_NULL = 1;
inline constexpr UINT BS_HOLLOW = BS_NULL;

// Background modes
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// Text alignment (SetTextAlign)
inline constexpr UINT TA_NOUPDATECP = 0;
inline constexpr UINT TA_UPDATECP = 1;
inline constexpr UINT TA_LEFT = 0;
inline constexpr UINT TA_RIGHT = 2;
inline constexpr UINT TA_CENTER = 6;
inline constexpr UINT TA_TOP = 0;
inline constexpr UINT TA_BOTTOM = 8;
inline constexpr UINT TA_BASELINE = 24;
inline constexpr UINT GDI_ERROR = 0xFFFFFFFFu;

// ExtTextOut options
inline constexpr UINT ETO_OPAQUE = 0x0002;
inline constexpr UINT ETO_CLIPPED = 0x0004;

// Font weights
inline constexpr LONG FW_DONTCARE = 0;
inline constexpr LONG FW_THIN = 100;
inline constexpr LONG FW_LIGHT = 300;
inline constexpr LONG FW_NORMAL = 400;
inline constexpr LONG FW_REGULAR = 400;
inline constexpr LONG FW_MEDIUM = 500;
inline constexpr LONG FW_SEMIBOLD = 600;
inline constexpr LONG FW_BOLD = 700;
inline constexpr LONG FW_HEAVY = 900;

// Character sets, precisions, qualities and pitches: recorded in the font, not used to match.
inline constexpr BYTE ANSI_CHARSET = 0;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE OUT_DEFAULT_PRECIS = 0;
inline constexpr BYTE OUT_TT_PRECIS = 4;
inline constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
inline constexpr BYTE DEFAULT_QUALITY = 0;
inline constexpr BYTE ANTIALIASED_QUALITY = 4;
inline constexpr BYTE CLEARTYPE_QUALITY = 5;
inline constexpr BYTE DEFAULT_PITCH = 0;
inline constexpr BYTE FIXED_PITCH = 1;
inline constexpr BYTE VARIABLE_PITCH = 2;
inline constexpr BYTE FF_DONTCARE = 0x00;
inline constexpr BYTE FF_ROMAN = 0x10;
inline constexpr BYTE FF_SWISS = 0x20;
inline constexpr BYTE FF_MODERN = 0x30;

// GetDeviceCaps
inline constexpr int DRIVERVERSION = 0;
inline constexpr int TECHNOLOGY = 2;
inline constexpr int HORZSIZE = 4;
inline constexpr int VERTSIZE = 6;
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;
inline constexpr int NUMCOLORS = 24;
inline constexpr int RASTERCAPS = 38;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;
inline constexpr int PHYSICALWIDTH = 110;
inline constexpr int PHYSICALHEIGHT = 111;
inline constexpr int PHYSICALOFFSETX = 112;
inline constexpr int PHYSICALOFFSETY = 113;
inline constexpr int DT_PLOTTER = 0;
inline constexpr int DT_RASDISPLAY = 1;
inline constexpr int DT_RASPRINTER = 2;
inline constexpr int RC_BITBLT = 0x0001;
inline constexpr int RC_STRETCHBLT = 0x0800;

// Raster operations.  Any of the 256 ternary operations can be given; these are the named ones.
inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD SRCPAINT = 0x00EE0086;
inline constexpr DWORD SRCAND = 0x008800C6;
inline constexpr DWORD SRCINVERT = 0x00660046;
inline constexpr DWORD SRCERASE = 0x00440328;
inline constexpr DWORD NOTSRCCOPY = 0x00330008;
inline constexpr DWORD NOTSRCERASE = 0x001100A6;
inline constexpr DWORD MERGECOPY = 0x00C000CA;
inline constexpr DWORD MERGEPAINT = 0x00BB0226;
inline constexpr DWORD PATCOPY = 0x00F00021;
inline constexpr DWORD PATPAINT = 0x00FB0A09;
inline constexpr DWORD PATINVERT = 0x005A0049;
inline constexpr DWORD DSTINVERT = 0x00550009;
inline constexpr DWORD BLACKNESS = 0x00000042;
inline constexpr DWORD WHITENESS = 0x00FF0062;

// Region results (of SelectClipRgn, IntersectClipRect, GetClipBox)
inline constexpr int RGN_ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;

// System colours
inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_DESKTOP = COLOR_BACKGROUND;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_ACTIVEBORDER = 10;
inline constexpr int COLOR_INACTIVEBORDER = 11;
inline constexpr int COLOR_APPWORKSPACE = 12;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_3DFACE = COLOR_BTNFACE;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;
inline constexpr int COLOR_HOTLIGHT = 26;
inline constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
inline constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
inline constexpr int COLOR_MENUHILIGHT = 29;
inline constexpr int COLOR_MENUBAR = 30;

// DrawEdge
inline constexpr UINT BDR_RAISEDOUTER = 0x0001;
inline constexpr UINT BDR_SUNKENOUTER = 0x0002;
inline constexpr UINT BDR_RAISEDINNER = 0x0004;
inline constexpr UINT BDR_SUNKENINNER = 0x0008;
inline constexpr UINT BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
inline constexpr UINT BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER;
inline constexpr UINT BDR_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr UINT BDR_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
inline constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
inline constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
inline constexpr UINT BF_LEFT = 0x0001;
inline constexpr UINT BF_TOP = 0x0002;
inline constexpr UINT BF_RIGHT = 0x0004;
inline constexpr UINT BF_BOTTOM = 0x0008;
inline constexpr UINT BF_TOPLEFT = BF_TOP | BF_LEFT;
inline constexpr UINT BF_TOPRIGHT = BF_TOP | BF_RIGHT;
inline constexpr UINT BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT;
inline constexpr UINT BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
inline constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
inline constexpr UINT BF_DIAGONAL = 0x0010;
inline constexpr UINT BF_MIDDLE = 0x0800;
inline constexpr UINT BF_SOFT = 0x1000;
inline constexpr UINT BF_ADJUST = 0x2000;
inline constexpr UINT BF_FLAT = 0x4000;
inline constexpr UINT BF_MONO = 0x8000;

// DrawText
inline constexpr UINT DT_TOP = 0x00000000;
inline constexpr UINT DT_LEFT = 0x00000000;
inline constexpr UINT DT_CENTER = 0x00000001;
inline constexpr UINT DT_RIGHT = 0x00000002;
inline constexpr UINT DT_VCENTER = 0x00000004;
inline constexpr UINT DT_BOTTOM = 0x00000008;
inline constexpr UINT DT_WORDBREAK = 0x00000010;
inline constexpr UINT DT_SINGLELINE = 0x00000020;
inline constexpr UINT DT_EXPANDTABS = 0x00000040;
inline constexpr UINT DT_NOCLIP = 0x00000100;
inline constexpr UINT DT_EXTERNALLEADING = 0x00000200;
inline constexpr UINT DT_CALCRECT = 0x00000400;
inline constexpr UINT DT_NOPREFIX = 0x00000800;
inline constexpr UINT DT_HIDEPREFIX = 0x00100000;
inline constexpr UINT DT_PREFIXONLY = 0x00200000;

// Icons and images
inline constexpr UINT IMAGE_BITMAP = 0;
inline constexpr UINT IMAGE_ICON = 1;
inline constexpr UINT IMAGE_CURSOR = 2;
inline constexpr UINT LR_DEFAULTCOLOR = 0x0000;
inline constexpr UINT LR_LOADFROMFILE = 0x0010;
inline constexpr UINT LR_DEFAULTSIZE = 0x0040;
inline constexpr UINT LR_SHARED = 0x8000;
inline constexpr UINT DI_MASK = 0x0001;
inline constexpr UINT DI_IMAGE = 0x0002;
inline constexpr UINT DI_NORMAL = DI_MASK | DI_IMAGE;
inline constexpr UINT DI_COMPAT = 0x0004;
inline constexpr UINT DI_DEFAULTSIZE = 0x0008;
// The size LoadIcon, LR_DEFAULTSIZE and DI_DEFAULTSIZE give an icon (SM_CXICON, SM_CYICON).
inline constexpr int kDefaultIconSize = 32;

// DrawState
inline constexpr UINT DST_COMPLEX = 0x0000;
inline constexpr UINT DST_TEXT = 0x0001;
inline constexpr UINT DST_PREFIXTEXT = 0x0002;
inline constexpr UINT DST_ICON = 0x0003;
inline constexpr UINT DST_BITMAP = 0x0004;
inline constexpr UINT DSS_NORMAL = 0x0000;
inline constexpr UINT DSS_DISABLED = 0x0020;
inline constexpr UINT DSS_MONO = 0x0080;
inline constexpr UINT DSS_HIDEPREFIX = 0x0200;
inline constexpr UINT DSS_PREFIXONLY = 0x0400;
inline constexpr UINT DSS_RIGHT = 0x8000;
using DRAWSTATEPROC = BOOL (*)(HDC hdc, LPARAM lData, WPARAM wData, int cx, int cy);

// ---------------------------------------------------------------------------------------------
// Objects

HGDIOBJ GetStockObject(int i);
// Frees a pen, brush, font, bitmap or region.  FALSE for a handle that is not live or for an
// object selected into a DC; TRUE (and nothing done) for a stock object.
BOOL DeleteObject(HGDIOBJ ho);
// OBJ_* of a live object or DC, else 0.
DWORD GetObjectType(HGDIOBJ h);
// Copies the object's description (BITMAP, LOGPEN, LOGBRUSH, LOGFONTA) into pv, at most c
// bytes; with a null pv answers the size it needs.  0 for a handle that is not live.
int GetObjectA(HGDIOBJ h, int c, LPVOID pv);

HPEN CreatePen(int iStyle, int cWidth, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
// The system colours of the classic scheme, and a brush of each that is never freed.  A brush
// argument that is a colour index plus one, (HBRUSH)(COLOR_WINDOW + 1), fills with that colour.
DWORD GetSysColor(int nIndex);
HBRUSH GetSysColorBrush(int nIndex);

// Bitmaps have 32-bit pixels; a monochrome one (1 bit per pixel) keeps only black and white.
// CreateBitmap takes rows of lpBits as Windows lays them out (32 bpp: blue, green, red and an
// unused byte per pixel; 1 bpp: rows padded to 16 bits, a set bit white).  Without bits the
// bitmap is black.
HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits);
// A colour bitmap for the DC's device (a monochrome one for a memory DC that still has its
// default bitmap, as on Windows); black.
HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);

HRGN CreateRectRgn(int x1, int y1, int x2, int y2);
HRGN CreateRectRgnIndirect(const RECT* lprect);

// ---------------------------------------------------------------------------------------------
// Device contexts

// A memory DC compatible with hdc (null: the screen), with a 1x1 monochrome bitmap selected.
HDC CreateCompatibleDC(HDC hdc);
// "DISPLAY" makes a DC of the screen; "WINSPOOL" (or any other driver with a device name) makes
// a printer DC with a Letter page of its own at 96 dots per inch, freed with the DC.
HDC CreateDCA(LPCSTR pwszDriver, LPCSTR pwszDevice, LPCSTR pszPort, const void* pdm);
BOOL DeleteDC(HDC hdc);

// Selects a pen, brush, font or bitmap and answers the one it replaces; null when the object
// cannot be selected (a bitmap into a DC that is not a memory DC, or into a second memory DC).
// A region is copied into the clip instead and the region type is answered, cast to HGDIOBJ.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
// OBJ_PEN, OBJ_BRUSH, OBJ_FONT or OBJ_BITMAP: the object selected (for a bitmap or printer DC,
// its bitmap).
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);

COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);

BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL GetWindowOrgEx(HDC hdc, LPPOINT lppoint);
BOOL OffsetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL GetViewportOrgEx(HDC hdc, LPPOINT lppoint);
BOOL OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL LPtoDP(HDC hdc, LPPOINT lppt, int c);
BOOL DPtoLP(HDC hdc, LPPOINT lppt, int c);

// Saves the colours, modes, origins, clip, current position and selected objects; answers the
// level of the saved state (1 for the first), 0 on failure.  RestoreDC(hdc, -1) goes back one
// level, a positive level goes back to that level, dropping the ones above it.
int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int nSavedDC);

// The clip: intersected with a rectangle in logical coordinates, or replaced by a region in
// device coordinates (null: the whole surface again).  GetClipBox answers it in logical
// coordinates.
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int SelectClipRgn(HDC hdc, HRGN hrgn);
int GetClipBox(HDC hdc, LPRECT lprect);

int GetDeviceCaps(HDC hdc, int index);

// ---------------------------------------------------------------------------------------------
// Drawing

int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr);
int FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr);
BOOL InvertRect(HDC hDC, const RECT* lprc);
// Outlined with the pen and filled with the brush; the outline runs along the left and top
// edges and along right - 1 and bottom - 1.  With the null pen the filled area is one pixel
// narrower and lower, as on Windows.
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop);
BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL GetCurrentPositionEx(HDC hdc, LPPOINT lppt);
// Draws from the current position to (x, y), which is not drawn, and moves there.
BOOL LineTo(HDC hdc, int x, int y);
// Lines through the points; the last point is not drawn and the current position stays.
BOOL Polyline(HDC hdc, const POINT* apt, int cpt);

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
// CLR_INVALID outside the surface or the clip.
COLORREF GetPixel(HDC hdc, int x, int y);

// Sunken, raised, etched and bumped borders in the 3D colours.  With BF_ADJUST the rectangle
// becomes what is inside the border.
BOOL DrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags);
// Inverts every other pixel of the rectangle's border: drawing it twice leaves the pixels as
// they were.
BOOL DrawFocusRect(HDC hDC, const RECT* lprc);

// ---------------------------------------------------------------------------------------------
// Fonts and text

HFONT CreateFontIndirectA(const LOGFONTA* lplf);
HFONT CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                  DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                  DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily,
                  LPCSTR pszFaceName);

// Text at (x, y) aligned as SetTextAlign says (by default the top left of the text's cell).
// c counts bytes of UTF-8.
BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c);
BOOL ExtTextOutA(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCSTR lpString, UINT c,
                 const int* lpDx);
// Formats and draws text in a rectangle; answers the height of the text (with DT_VCENTER or
// DT_BOTTOM the offset from the rectangle's top to the bottom of the text), 0 on failure.
// cchText -1: up to the terminating zero.  Word breaking breaks at blanks only: a word wider
// than the rectangle stands alone on its line.
int DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format);
BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, LPSIZE psizl);
BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm);
// The face name of the selected font as it was asked for; answers the length copied.
int GetTextFaceA(HDC hdc, int c, LPSTR lpName);

// ---------------------------------------------------------------------------------------------
// Icons

// An icon from the module's resource script: the image of exactly cx by cy, else the nearest
// size scaled to cx by cy (nearest neighbour).  A cx or cy of 0 is the first image's width or
// height (with LR_DEFAULTSIZE the default icon size).  Null when there is no such icon
// (ERROR_RESOURCE_NAME_NOT_FOUND) or its rows do not fit its size and palette
// (ERROR_INVALID_DATA).  LR_SHARED answers the same handle for the same icon and size each
// time; a shared icon is never freed.  Only IMAGE_ICON from resources is supported.
HANDLE LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad);
// LoadImageA of a shared icon at the default size.
HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName);
BOOL DestroyIcon(HICON hIcon);
// The icon's mask and colour as two new bitmaps that the caller deletes.
BOOL GetIconInfo(HICON hIcon, PICONINFO piconinfo);
// Draws the icon scaled to cx by cy (0: its own size, or the default size with
// DI_DEFAULTSIZE).  With DI_NORMAL transparent pixels are left as they are; DI_IMAGE alone
// copies every pixel, DI_MASK alone blackens the opaque ones.  A flicker-free brush fills the
// icon's rectangle first.
BOOL DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth,
                UINT istepIfAniCur, HBRUSH hbrFlickerFreeDraw, UINT diFlags);
// Draws the icon at the default icon size.
BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon);

// Draws text (lData: the string, wData: its length or 0), prefixed text, an icon or a bitmap
// (lData: the handle) at (x, y), clipped to cx by cy (0: the image's natural size).  The image
// is drawn at its natural size.  DSS_DISABLED embosses it: its shape in COLOR_3DHILIGHT one
// pixel right and down (which may reach one pixel past the box), then in COLOR_3DSHADOW in
// place; the shape of an icon is its opaque pixels, of text its one-bit glyphs, of a bitmap
// its pixels that are not white.  DSS_MONO draws the shape in the brush's colour.  Text is
// drawn transparently in the text colour; DSS_RIGHT aligns it right.  DST_COMPLEX (a drawing
// callback) is not supported: FALSE.
BOOL DrawStateA(HDC hdc, HBRUSH hbrFore, DRAWSTATEPROC qfnCallBack, LPARAM lData, WPARAM wData,
                int x, int y, int cx, int cy, UINT uFlags);

// ---------------------------------------------------------------------------------------------
// Surfaces for the window model and for pictures

namespace win {

// A bitmap of cx by cy pixels filled with one colour.  Null for a size below 1 or too large.
HBITMAP CreateSurfaceBitmap(int cx, int cy, COLORREF fill);
// A DC that draws into the bitmap, answering as a display (the way a window's DC does).  The
// bitmap cannot be deleted while the DC lives; several such DCs may share one bitmap.
HDC CreateBitmapDC(HBITMAP target);
// A DC that draws into the bitmap as a page, answering as a raster printer at dpi dots per
// inch.
HDC CreatePrinterDC(HBITMAP page, int dpi = 96);
// The process's screen DC: the display's metrics and nowhere to draw.  Never freed.
HDC ScreenDC();
// The bitmap a DC draws into (for a memory DC the one selected), or null.
HBITMAP TargetBitmap(HDC hdc);

// The pixels, row by row from the top.
bool ReadPixels(HBITMAP bitmap, int& cx, int& cy, std::vector<COLORREF>& pixels);
// Writes the bitmap as an 8-bit RGB PNG.  On failure error (when given) says why.
bool WritePng(HBITMAP bitmap, const std::string& unixPath, std::string* error);
// The same file's bytes.
std::string EncodePng(HBITMAP bitmap);

// The height a font of pointSize points has at 96 dots per inch, as lfHeight (negative):
// 8 points give -11.
LONG PointSizeToHeight(int pointSize);
// A font for dialogs: the face and point size of a dialog template (FW_BOLD for bold).
HFONT CreateDialogFont(const std::string& faceName, int pointSize, LONG weight = FW_NORMAL);

// The number of live GDI objects, DCs and icons that are not stock objects: a handle that is
// never freed shows here.
std::size_t GdiObjectCount();

// The screen's size in pixels.
inline constexpr int kScreenWidth = 1024;
inline constexpr int kScreenHeight = 768;

} // namespace win
