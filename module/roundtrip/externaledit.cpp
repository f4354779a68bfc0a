#include "roundtrip/externaledit.h"

#include "arx/dbid.h"
#include "arx/dbmtext.h"
#include "arx/editor.h"

#include <string>

namespace {

// The first object of the current selection, when it is an MText: its handle as the host
// prints handles.  False for no selection, an object that cannot be opened, or another kind.
bool PickedMTextHandle(std::string& handle) {
    AcDbObjectIdArray selection;
    if (acedGetCurrentSelectionSet(selection) != Acad::eOk || selection.isEmpty())
        return false;
    AcDbObject* object = nullptr;
    if (acdbOpenObject(object, selection[0], AcDb::kForRead) != Acad::eOk)
        return false;
    char text[AcDbHandle::kStrSiz];
    object->objectId().handle().getIntoAsciiBuffer(text, sizeof text);
    handle = text;
    bool isMText = AcDbMText::cast(object) != nullptr;
    object->close();
    return isMText;
}

} // namespace

void LaunchExternalEdit() {
    std::string handle;
    if (!PickedMTextHandle(handle))
        return;
    // An MText was picked.  Whether it is one of this module's specifications is decided by
    // the stored records of the drawing, which the storage of specifications brings; until a
    // drawing can hold them no MText is one, and the host's own edit goes on as usual.
}
