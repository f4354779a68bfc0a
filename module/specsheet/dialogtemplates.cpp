// The sheet dialogs as a resource script lays them out (dialog units, the 8 point
// dialog font).
#include "specsheet/dialogtemplates.h"

#include "specsheet/resource.h"

#include "win/messages.h"
#include "win/msgbox.h"
#include "win/window.h"

namespace {

constexpr DWORD kDialogStyle = DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kVisible = WS_CHILD | WS_VISIBLE;

win::DialogItemTemplate Text(int id, const char* text, int x, int y, int cx, int cy,
                             DWORD style = SS_LEFT) {
    return {WC_STATICA, id, text, x, y, cx, cy, kVisible | style, 0};
}

win::DialogItemTemplate Group(const char* text, int x, int y, int cx, int cy) {
    return {WC_BUTTONA, IDC_STATIC, text, x, y, cx, cy, kVisible | BS_GROUPBOX, 0};
}

win::DialogItemTemplate Button(int id, const char* text, int x, int y, int cx, int cy,
                               DWORD style = BS_PUSHBUTTON) {
    return {WC_BUTTONA, id, text, x, y, cx, cy, kVisible | WS_TABSTOP | style, 0};
}

win::DialogItemTemplate Edit(int id, int x, int y, int cx, int cy) {
    return {WC_EDITA, id, "", x, y, cx, cy, kVisible | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0};
}

win::DialogItemTemplate List(int id, int x, int y, int cx, int cy) {
    return {WC_LISTBOXA,
            id,
            "",
            x,
            y,
            cx,
            cy,
            kVisible | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
            0};
}

// "KSR - New Spec Sheet": the banner across the top; the Divisions and the folder's files
// on the left, the sheet list in the middle, its tools on the right, the buttons below.
win::DialogTemplate NewSpecSheetTemplate() {
    win::DialogTemplate t;
    t.id = IDD_NEWSPECSHEET;
    t.caption = "KSR - New Spec Sheet";
    t.cx = 420;
    t.cy = 300;
    t.style = kDialogStyle;
    t.items = {
        {RICHEDIT_CLASSA, IDC_BANNER, "", 7, 7, 406, 38,
         kVisible | WS_BORDER | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0},
        Text(IDC_BANNER_LINE, "", 7, 50, 406, 1, SS_ETCHEDHORZ),
        {RICHEDIT_CLASSA, IDC_HIDDEN_RICH, "", 7, 7, 20, 10, WS_CHILD | ES_MULTILINE, 0},

        Group("Divisions (DOUBLE CLICK)", 7, 56, 142, 118),
        Button(IDC_EDIT_DIVISIONS, "Edit", 113, 66, 30, 12),
        List(IDC_DIVISIONS, 13, 81, 130, 88),

        Group("RTF Files (DOUBLE CLICK)", 7, 178, 142, 115),
        Edit(IDC_RTF_FOLDER, 13, 190, 108, 13),
        Button(IDC_BROWSE, "...", 124, 190, 19, 13),
        List(IDC_RTF_FILES, 13, 207, 130, 64),
        Button(IDC_CONVERT_DOCS, "Convert Docs", 13, 275, 60, 13),

        List(IDC_SHEET_LIST, 155, 56, 202, 237),

        Group("Shift", 363, 56, 50, 36),
        Button(IDC_UP, "", 369, 68, 18, 18, BS_PUSHBUTTON),
        Button(IDC_DOWN, "", 389, 68, 18, 18, BS_PUSHBUTTON),
        Group("Remove ", 363, 96, 50, 36),
        Button(IDC_REMOVE, "", 375, 106, 26, 22, BS_PUSHBUTTON),
        Group("Preview", 363, 136, 50, 36),
        Button(IDC_PREVIEW, "", 375, 146, 26, 22, BS_PUSHBUTTON),
        Group("Sizes", 363, 176, 50, 36),
        Button(IDC_SIZES, "", 375, 186, 26, 22, BS_PUSHBUTTON),

        Button(IDOK, "Create!", 363, 257, 50, 14, BS_DEFPUSHBUTTON),
        Button(IDCANCEL, "Cancel", 363, 277, 50, 14),
    };
    return t;
}

// "RTF OverWrites!": the warning before Word documents are converted.
win::DialogTemplate WarnRtfTemplate() {
    win::DialogTemplate t;
    t.id = IDD_WARNRTF;
    t.caption = "RTF OverWrites!";
    t.cx = 210;
    t.cy = 112;
    t.style = kDialogStyle;
    t.items = {
        Text(IDC_WARN_TEXT, "", 10, 8, 190, 74),
        Button(IDOK, "Create!", 96, 90, 50, 14, BS_DEFPUSHBUTTON),
        Button(IDCANCEL, "Cancel", 152, 90, 50, 14),
    };
    return t;
}

// "KSR Spec RTF View": the preview and the division catalogue's editor.
win::DialogTemplate RtfViewerTemplate() {
    win::DialogTemplate t;
    t.id = IDD_RTFVIEWER;
    t.caption = "KSR Spec RTF View";
    t.cx = 512;
    t.cy = 262;
    t.style = kDialogStyle;
    t.items = {
        {RICHEDIT_CLASSA, IDC_VIEWER_TEXT, "", 7, 7, 498, 230,
         kVisible | WS_BORDER | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL |
             ES_AUTOHSCROLL | ES_NOHIDESEL | ES_WANTRETURN,
         0},
        Button(IDC_VIEWER_DEFAULTS, "&Defaults", 329, 241, 50, 14),
        Button(IDC_VIEWER_SAVE, "&Save", 393, 241, 50, 14),
        Button(IDCANCEL, "Cancel", 455, 241, 50, 14),
    };
    return t;
}

// "Sizes": the four layout sizes.
win::DialogTemplate OptionsTemplate() {
    win::DialogTemplate t;
    t.id = IDD_OPTIONS;
    t.caption = "Sizes";
    t.cx = 170;
    t.cy = 106;
    t.style = kDialogStyle;
    t.items = {
        Text(IDC_STATIC, "Horizontal Spacer", 8, 10, 76, 8),
        Edit(IDC_OPT_SPACER, 90, 8, 72, 13),
        Text(IDC_STATIC, "Vertical Spacer", 8, 28, 76, 8),
        Edit(IDC_OPT_HSPACER, 90, 26, 72, 13),
        Text(IDC_STATIC, "Default Txt Height", 8, 46, 76, 8),
        Edit(IDC_OPT_THEIGHT, 90, 44, 72, 13),
        Text(IDC_STATIC, "Division Txt Height", 8, 64, 76, 8),
        Edit(IDC_OPT_VHEIGHT, 90, 62, 72, 13),
        Button(IDC_OPT_DEFAULTS, "Defaults", 58, 86, 50, 14),
        Button(IDOK, "OK", 112, 86, 50, 14, BS_DEFPUSHBUTTON),
    };
    return t;
}

} // namespace

std::vector<win::DialogTemplate> SpecSheetDialogTemplates() {
    return {NewSpecSheetTemplate(), WarnRtfTemplate(), RtfViewerTemplate(), OptionsTemplate()};
}
