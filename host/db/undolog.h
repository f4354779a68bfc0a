// What the running command does to a drawing, kept so that the command can be taken back.
//
// A drawing's log is a stack of groups, one per command.  While a group is open the database
// layer reports every object it creates, and every object about to change for the first time
// in the group (the first assertWriteEnabled with autoUndo, an erase); a changed object's
// state is kept as it filed itself through a kUndoFiler DWG filer at that moment.  Taking a
// group back files the kept states back in, un-erases or re-erases objects to match, and
// takes created objects out of the drawing altogether: their handles stay spent, so no later
// object gets one of them.
#pragma once

#include "arx/dbdatabase.h"
#include "arx/dbobject.h"
#include "arx/errorstatus.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cadhost::db {

class UndoLog {
public:
    explicit UndoLog(AcDbDatabase::Impl& db);
    ~UndoLog();
    UndoLog(const UndoLog&) = delete;
    UndoLog& operator=(const UndoLog&) = delete;

    // Opens the group of a command.  A command run from inside another one joins the outer
    // command's group: taking it back takes back both.
    void beginGroup(const std::string& name);
    // keepEmpty false drops a group that changed nothing (a command that only moved the
    // user to another drawing is no step of this one).
    void endGroup(bool keepEmpty = true);
    bool recording() const;

    // Closed groups, the most recent last.
    std::size_t groupCount() const;
    // Takes back the most recent closed group and answers its name.  eNotApplicable when
    // there is none.  When an object the group touched is open, nothing is changed and the
    // answer is eWasOpenForWrite (or eWasOpenForRead): the opener still holds a pointer.  A
    // kept state that does not file back in is reported as the filer's error after the rest
    // of the group has been taken back.
    Acad::ErrorStatus undoLast(std::string& name);

    // Hooks of the database layer.
    void noteCreated(AcDbObjectId id);
    void noteChange(AcDbObject& object);

private:
    struct Group;
    AcDbDatabase::Impl& m_db;
    std::vector<std::unique_ptr<Group>> m_closed;
    std::unique_ptr<Group> m_open;
    int m_depth = 0;
    bool m_replaying = false;
};

// The log of a drawing, made on first use.
UndoLog& UndoLogOf(AcDbDatabase& db);
// The database layer's hook before an object changes: counts the change (db/edits.h) and,
// the first time in the running command, keeps the object's state; costs a count and a test
// of one counter while no drawing records.
void NoteObjectChange(AcDbObject& object);

} // namespace cadhost::db
