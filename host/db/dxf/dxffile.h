// Drawings as ASCII DXF files.
//
// A drawing read from a file keeps the version it was written in and is saved in it
// again; a new drawing is saved as AC1018.  What the host does not understand of a file
// is kept and written back, so that a drawing loses nothing by passing through the host.
#pragma once

#include "arx/errorstatus.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

class AcDbDatabase;

namespace cadhost::db::dxf {

// Writes the drawing to a new file beside the target, flushes it to the disk and renames
// it over the target, so that a failed save leaves the old file whole (db/dxf/replacefile.h:
// a symbolic link stays and its file is replaced, the file keeps its permissions and owner,
// and what killed saves of it left behind goes).  error: one line.
Acad::ErrorStatus WriteDxfFile(AcDbDatabase* db, const std::string& unixPath, std::string& error);
// Reads a drawing into a new database that the caller owns.  On failure db stays null and
// error is one line naming the line of the file: "line 123: ...".
Acad::ErrorStatus ReadDxfFile(const std::string& unixPath, AcDbDatabase*& db, std::string& error);

// Whether the file holds a drawing that saving may replace: an empty file, or one that begins
// as a DXF file does (group 0 SECTION, after any 999 comments).  Reads only its start.
bool IsReplaceableDrawing(const std::string& unixPath);

// The same without the file.
Acad::ErrorStatus WriteDxfText(AcDbDatabase* db, std::string& text, std::string& error);
// The text in pieces, handed to put as it is made, so that the whole text is never held at
// once.  ready runs before the first piece, once the text is settled (the handles it needs
// handed out); its failure is the answer.  A false from put ends the writing with
// eFileAccessErr.
Acad::ErrorStatus WriteDxf(AcDbDatabase* db, const std::function<Acad::ErrorStatus()>& ready,
                           const std::function<bool(std::string_view)>& put, std::string& error);
Acad::ErrorStatus ReadDxfText(std::string_view text, AcDbDatabase*& db, std::string& error);
// The same with the text of a file, which lies in a buffer that is given up: the drawing
// keeps it.
Acad::ErrorStatus ReadDxfFileText(std::unique_ptr<char[]>&& buffer, std::string_view text,
                                  AcDbDatabase*& db, std::string& error);

// The version a drawing is saved in ($ACADVER).
std::string DrawingVersion(const AcDbDatabase* db);

} // namespace cadhost::db::dxf
