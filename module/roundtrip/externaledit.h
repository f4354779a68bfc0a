// The external edit of a placed item, started by a double-click: its stored Rich Text
// opens in the word processor, and when it was saved there the edit is stored and the rebuild
// of the sheet is queued.
#pragma once

class AcDbMText;
class CDocData;
class CMtextVars;

// Works on the host's current selection: the first selected MText is the one double-clicked.
void LaunchExternalEdit();
// The corners of the box recorded on a placed text (tags 1 and 2 of its "KSRRivlet" extended
// data) into the document's box; a corner not found keeps its value, with a warning.
void ReadBox(AcDbMText* text, CDocData& data);
// Lets the user pick the word processor's program; its full path goes to m_WordPad.  False
// when the user cancels.
bool LocateWordPad(CMtextVars& preferences);
