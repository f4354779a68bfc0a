// The rebuild of every placed item of the current drawing from its stored source.
#pragma once

// Erases the texts of every stored record, translates each record's Rich Text again and lays
// all of them out afresh in the box of the current document (asked for when the document has
// none; a cancelled prompt changes nothing).
void RebuildFromStoredData();
