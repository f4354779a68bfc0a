// The registry entries of the Word server: its ProgIDs and its class.
#pragma once

#include <string>

namespace word {

// Why the server cannot work here ("" when it can): LibreOffice (soffice on PATH) or
// python3 with its UNO module missing.
std::string MissingPrerequisite();

// Writes HKEY_CLASSES_ROOT\Word.Application (CLSID, CurVer), Word.Application.8, Word.Document.8
// and CLSID\{...} (LocalServer32 the quoted Windows path of this program, ProgID,
// VersionIndependentProgID).  False with the reason in error.
bool RegisterServer(std::string& error);
// Removes them (what is not there is no failure).
bool UnregisterServer(std::string& error);

} // namespace word
