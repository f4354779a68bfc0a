// The tab stop that hanging-indent paragraphs need to keep their text lined up as MText.
#pragma once

#include "win/types.h"

#include <string>
#include <utility>

// One tab stop waiting to be inserted into a Rich Text string.
class CKsrRtfFix {
public:
    CKsrRtfFix(INT_PTR offset, std::string text) : m_Offset(offset), m_Text(std::move(text)) {}

    INT_PTR m_Offset;   // where the text goes, counted in the finished string
    std::string m_Text; // the control word to insert, "\tx<left indent>"
};

// A numbered or lettered paragraph hangs its label in a negative first-line indent and starts
// its text at the left indent after a tab; as MText that tab only reaches the indent when the
// paragraph also has a tab stop there.  Wherever a paragraph gives "\fi-<n>" directly followed
// by "\li<N>" and no "\tx<n>" among the control words up to the next blank, "\tx<N>" is inserted
// right after the left indent's number.  Everything else of the string is kept as it is.
void FixHangingIndents(std::string& rtf);
