// Resource ids of the sheet dialogs: templates, icons and controls.
#pragma once

// Dialog templates.
#define IDD_NEWSPECSHEET 102
#define IDD_WARNRTF 106
#define IDD_RTFVIEWER 112
#define IDD_OPTIONS 113

// Icons.
#define IDI_SIZES 101
#define IDI_UP 107
#define IDI_DOWN 108
#define IDI_REMOVE 109
#define IDI_REMOVE_HOT 110
#define IDI_PREVIEW 111

// Controls of the sheet dialog.
#define IDC_HIDDEN_RICH 225
#define IDC_BANNER 226
#define IDC_SHEET_LIST 227
#define IDC_RTF_FILES 228
#define IDC_DIVISIONS 229
#define IDC_RTF_FOLDER 230
#define IDC_BROWSE 231
#define IDC_WARN_TEXT 232
#define IDC_REMOVE 233
#define IDC_CONVERT_DOCS 234
#define IDC_PREVIEW 235
#define IDC_UP 236
#define IDC_DOWN 237
#define IDC_SIZES 238
#define IDC_EDIT_DIVISIONS 240
#define IDC_BANNER_LINE 1179

// The Rich Text viewer: its text area is 226 like the banner; its buttons.
#define IDC_VIEWER_TEXT 226
#define IDC_VIEWER_SAVE 3
#define IDC_VIEWER_DEFAULTS 4

// The Sizes dialog.
#define IDC_OPT_SPACER 244
#define IDC_OPT_HSPACER 245
#define IDC_OPT_THEIGHT 246
#define IDC_OPT_VHEIGHT 247
#define IDC_OPT_DEFAULTS 248

// Static texts without an id of their own.
#define IDC_STATIC (-1)
