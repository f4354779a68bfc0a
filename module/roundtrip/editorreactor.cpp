#include "roundtrip/editorreactor.h"

#include "roundtrip/externaledit.h"

EditorReactor::EditorReactor(bool autoInitAndRelease) : m_Attached(autoInitAndRelease) {
    if (!autoInitAndRelease)
        return;
    if (AcEditor* editor = Subject())
        editor->addReactor(this);
    else
        m_Attached = false;
}

EditorReactor::~EditorReactor() {
    if (!m_Attached)
        return;
    if (AcEditor* editor = Subject()) {
        editor->removeReactor(this);
        m_Attached = false;
    }
}

AcEditor* EditorReactor::Subject() const {
    return AcEditor::cast(acrxSysRegistry()->at(ACED_EDITOR_OBJ));
}

bool EditorReactor::IsAttached() const {
    return m_Attached;
}

// Only the double-click does something; every other notice goes to the default handling.
void EditorReactor::dwgFileOpened(AcDbDatabase* db, const char* fileName) {
    AcEditorReactor::dwgFileOpened(db, fileName);
}
void EditorReactor::beginSave(AcDbDatabase* db, const char* intendedName) {
    AcEditorReactor::beginSave(db, intendedName);
}
void EditorReactor::saveComplete(AcDbDatabase* db, const char* actualName) {
    AcEditorReactor::saveComplete(db, actualName);
}
void EditorReactor::abortSave(AcDbDatabase* db) {
    AcEditorReactor::abortSave(db);
}
void EditorReactor::unknownCommand(const char* command, AcDbVoidPtrArray* reserved) {
    AcEditorReactor::unknownCommand(command, reserved);
}
void EditorReactor::commandWillStart(const char* command) {
    AcEditorReactor::commandWillStart(command);
}
void EditorReactor::commandEnded(const char* command) {
    AcEditorReactor::commandEnded(command);
}
void EditorReactor::commandCancelled(const char* command) {
    AcEditorReactor::commandCancelled(command);
}
void EditorReactor::commandFailed(const char* command) {
    AcEditorReactor::commandFailed(command);
}

void EditorReactor::beginDoubleClick(const AcGePoint3d& clickPoint) {
    LaunchExternalEdit();
    AcEditorReactor::beginDoubleClick(clickPoint);
}

void EditorReactor::beginRightClick(const AcGePoint3d& clickPoint) {
    AcEditorReactor::beginRightClick(clickPoint);
}
