// A rich edit control that moves whole documents in and out by streaming: from and to a
// string or a file, as Rich Text or as plain text.  Every stream replaces the whole contents.
#pragma once

#include "win/richedit.h"

#include <string>

class CRichEditCtrlGS : public CRichEditCtrl {
public:
    // Shows a string: as Rich Text when it is longer than five characters and begins with
    // "{\rtf" in any letter case, else as plain text.
    void StreamInText(const std::string& text);
    // Shows a file: as Rich Text when allowRtf is set and the file begins with "{\rtf" in any
    // letter case, else as plain text.  A path that is no file, or a file that cannot be
    // opened, gets the framework's message and leaves the control as it was.
    void StreamInFile(const char* path, bool allowRtf);
    // The contents as Rich Text or as plain text.
    void StreamOutText(std::string& out, bool asRtf);
    // Writes the contents to a file (created, or emptied first); a file that cannot be made
    // or written gets the framework's message and keeps what was written.  True when the
    // whole contents were written.
    bool StreamOutFile(const char* path, bool asRtf);
    // Wrapping through the target device: wrap (or a line width) wraps at that width, 0 at
    // the window's edge; neither switches wrapping off.
    void SetWordWrap(bool wrap, long lineWidth);
};
