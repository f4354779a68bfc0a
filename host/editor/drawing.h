// Small services of the host's own commands over the current drawing.
#pragma once

#include "arx/dbid.h"
#include "arx/ge.h"

#include <optional>
#include <string>
#include <vector>

class AcDbDatabase;
class AcDbEntity;

namespace cadhost::editor {

// The working database, or nullptr when no drawing is open (a message is printed).
AcDbDatabase* CurrentDatabase();
// The matrix from the drawing's UCS to world coordinates (identity when there is none).
AcGeMatrix3d UcsToWorld(AcDbDatabase* db);
// Appends an entity to the drawing's current space and closes it.  On failure the entity is
// deleted and false returned.
bool AppendToCurrentSpace(AcDbDatabase* db, AcDbEntity* entity, AcDbObjectId* idOut = nullptr);
// The entity whose handle is the hexadecimal text, if it exists and is not erased.
std::optional<AcDbObjectId> EntityByHandle(AcDbDatabase* db, const std::string& hexText);
// The entities of the current space, in order; none when the space cannot be read now (a
// command has it open for write).
std::vector<AcDbObjectId> CurrentSpaceEntities(AcDbDatabase* db);
// The same, telling that case apart: false, and ids left empty.
bool ReadCurrentSpaceEntities(AcDbDatabase* db, std::vector<AcDbObjectId>& ids);
// The topmost entity of the current space that passes within tolerance of a world point.
std::optional<AcDbObjectId> EntityAt(AcDbDatabase* db, const AcGePoint3d& world, double tolerance);
// The handle as the host prints it.
std::string HandleText(const AcDbObjectId& id);

} // namespace cadhost::editor
