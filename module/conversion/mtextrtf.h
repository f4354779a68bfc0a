// One specification item as the column layout places it, and the ordered set of items.
#pragma once

#include "win/collections.h"

#include <string>

// An item's MText content together with the units the layout cuts it into.  Copied by value.
class CMtextRtf {
public:
    // Cuts the content into pieces and collects the font and height codes of its outer levels
    // (see below); sets m_Contents to the content.  The lists are appended to, so a fresh item
    // is expected.  Returns the number of pieces in m_Pieces.
    //
    // A piece starts at every paragraph break "\P" (with the break at its head) and at every
    // font code "\f...;" (with the code at its head), so that the text after a cut between
    // pieces starts with the formatting it needs.  Codes inside nested groups ({{...}}) are
    // left whole.  Joining the pieces gives the content back exactly.
    int SplitContents(const std::string& content);

    std::string m_Contents;     // the whole content, as given to SplitContents
    std::string m_Rtf;          // the source: Rich Text, or the content itself for plain items
    CStringArray m_Pieces;      // the content cut into pieces, in order
    CStringArray m_FontCodes;   // every complete "\f...;" of the outer levels, in order
    CStringArray m_HeightCodes; // every complete "\H...;" of the outer levels, in order
    std::string m_Name;         // the item's name, stored with the placed text
    bool m_IsPlain = false;     // plain MText (a division heading) rather than converted text
};

// The items of one layout, in placement order.
class CMtextRtfHolder : public CArray<CMtextRtf, CMtextRtf> {
public:
    using CArray::CArray;
};
