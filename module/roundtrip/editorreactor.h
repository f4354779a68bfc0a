// The editor reactor: the module hears of double-clicks in any open drawing through it.
#pragma once

#include "arx/editor.h"

class EditorReactor : public AcEditorReactor {
public:
    // With automatic attachment, adds itself to the host's editor ("AcEditor" in the system
    // registry); without an editor it stays detached.
    explicit EditorReactor(bool autoInitAndRelease = true);
    // Detaches itself from the editor when attached.
    ~EditorReactor() override;

    void dwgFileOpened(AcDbDatabase* db, const char* fileName) override;
    void beginSave(AcDbDatabase* db, const char* intendedName) override;
    void saveComplete(AcDbDatabase* db, const char* actualName) override;
    void abortSave(AcDbDatabase* db) override;
    void unknownCommand(const char* command, AcDbVoidPtrArray* reserved) override;
    void commandWillStart(const char* command) override;
    void commandEnded(const char* command) override;
    void commandCancelled(const char* command) override;
    void commandFailed(const char* command) override;
    // Starts the external edit of the double-clicked specification text.
    void beginDoubleClick(const AcGePoint3d& clickPoint) override;
    void beginRightClick(const AcGePoint3d& clickPoint) override;

    virtual AcEditor* Subject() const;
    virtual bool IsAttached() const;

private:
    bool m_Attached;
};
