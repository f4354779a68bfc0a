// Resources as data: what a resource script (.rc) gives a module, compiled into it as
// ordinary C++ tables: dialog templates, string tables and icons.
//
// A module hands its script to the framework when it is attached (AddResourceScript with its
// instance handle) and takes it back when it is detached.  Lookups name a module; a null
// module, or a module that lacks the resource, searches every script in the order they were
// added and then the framework's own (its standard prompts), as the framework searches the
// resource chain of its extension modules.
#pragma once

#include "win/types.h"

#include <string>
#include <utility>
#include <vector>

namespace win {

// One control of a dialog template.  Positions and sizes are in dialog units (a quarter of
// the dialog font's average character width across, an eighth of its height down).
struct DialogItemTemplate {
    std::string windowClass; // "BUTTON", "EDIT", "STATIC", "LISTBOX", "RichEdit20A", ...
    int id = 0;
    std::string text;
    int x = 0, y = 0, cx = 0, cy = 0;
    DWORD style = 0; // WS_* | the class's own styles
    DWORD exStyle = 0;
};

struct DialogTemplate {
    UINT id = 0;
    std::string caption;
    int x = 0, y = 0, cx = 0, cy = 0; // dialog units
    DWORD style = 0;
    std::string fontName = "MS Sans Serif";
    int pointSize = 8;
    std::vector<DialogItemTemplate> items;
};

struct StringResource {
    UINT id = 0;
    std::string text;
};

// One image of an icon, drawn as rows of characters: each character names a colour of the
// palette, a blank is transparent.  Every row has `width` characters.
struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<std::pair<char, COLORREF>> palette;
    std::vector<std::string> rows;
};

// An icon resource holds one image per size it was drawn at.
struct IconResource {
    UINT id = 0;
    std::vector<IconImage> images;
};

struct ResourceScript {
    std::vector<DialogTemplate> dialogs;
    std::vector<StringResource> strings;
    std::vector<IconResource> icons;
};

// The script stays the caller's and must live until it is removed.
void AddResourceScript(HINSTANCE module, const ResourceScript* script);
void RemoveResourceScript(const ResourceScript* script);

const DialogTemplate* FindDialogTemplate(HINSTANCE module, UINT id);
const IconResource* FindIconResource(HINSTANCE module, UINT id);
const StringResource* FindStringResource(HINSTANCE module, UINT id);

} // namespace win

// The string resource `id`: copies at most nBufferMax - 1 bytes and a zero, returns the number
// copied; 0 when there is no such string.
int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int nBufferMax);
// The framework's form: the string of the resource chain, "" when there is none.
std::string AfxLoadString(UINT nID);
// Formats a string resource with %1 (and %2) replaced, as the framework's message texts are.
std::string AfxFormatString1(UINT nIDS, const std::string& arg1);
std::string AfxFormatString2(UINT nIDS, const std::string& arg1, const std::string& arg2);
