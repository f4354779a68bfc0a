// The Word server: the Application, Documents and Document objects that clients reach through
// IDispatch, on a LibreOffice worker.
//
//   Application  Documents (get), Visible (get/put, kept only), Quit([SaveChanges],
//                [OriginalFormat], [RouteDocument])
//   Documents    Open(FileName, up to 15 optional arguments): a Document, or a null object when
//                the document cannot be opened; Count (get); Item(Index) (1-based)
//   Document     SaveAs(FileName, [FileFormat], up to 14 more optional arguments): FileFormat
//                6 Rich Text, 0 Word 97, 16 Word 2007 XML, missing: Word 97; Close(...); Name,
//                FullName (get)
//
// File names are Windows paths.  Failures raise DISP_E_EXCEPTION with a description: an
// unsupported format, a save that LibreOffice refuses, a call on a document that is closed or
// whose worker ended.  A worker that ended is started again by the next Open.
#pragma once

#include "worker.h"

#include "win/com.h"

#include <vector>

namespace word {

inline constexpr CLSID CLSID_WordApplication = {
    0x000209FF, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr CLSID CLSID_WordDocument = {
    0x00020906, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The LibreOffice filter for a FileFormat value, or null when it is not supported.
const char* FilterOfFormat(LONG format);

// Runs the server until a client quits it or the last client has gone: starts the worker,
// registers the class object and the running Application, serves.  The exit status: 0, or 1
// when the worker did not start (nothing is registered then).
int RunServer();

} // namespace word
