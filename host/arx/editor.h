// The editor: command line output, prompts, system variables, the selection, editor
// reactors and the command stack.
#pragma once

#include "arx/adsdefs.h"
#include "arx/errorstatus.h"
#include "arx/ge.h"
#include "arx/rxobject.h"

#include <cstddef>
#include <vector>

class AcDbDatabase;
class AcDbObjectIdArray;
class CWnd;
struct HINSTANCE__;

// ---- Command line ------------------------------------------------------------------------------

// Prints to the command line.  A "\r" at the start of the text (or anywhere) returns to the
// start of the current line, so what follows overwrites it.
int acutPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Asks for a point ("x,y" or "x,y,z", in the current UCS).  With a base point, relative input
// "@dx,dy" is taken from it.  RTNORM with the point; RTNONE for an empty reply, RTCAN when
// cancelled, RTERROR when the input is not a point.
int acedGetPoint(const ads_point basePoint, const char* prompt, ads_point result);
// Asks for the other corner of a rectangle from the base point; answers as acedGetPoint.
int acedGetCorner(const ads_point basePoint, const char* prompt, ads_point result);
// Asks for a text.  With allowSpaces zero, the reply ends at the first blank.
int acedGetString(int allowSpaces, const char* prompt, char* result, std::size_t resultSize);

// ---- System variables --------------------------------------------------------------------------

// Sets a system variable.  RTNORM on success; RTERROR for an unknown or read-only variable or
// a value of the wrong type (the variable keeps its old value).
int acedSetVar(const char* name, const resbuf* value);
// Reads a system variable into result (a string value is malloc'd; free it with
// acutDelString).  RTNORM, or RTERROR for an unknown variable.
int acedGetVar(const char* name, resbuf* result);

// ---- Selection and display ---------------------------------------------------------------------

// The pickfirst selection of the current document (what the user selected before a command or
// what a double-click picked).  eOk with the ids, or eInvalidInput when nothing is selected.
Acad::ErrorStatus acedGetCurrentSelectionSet(AcDbObjectIdArray& selection);
// Redraws (mode 1), undraws (2), highlights (3) or unhighlights (4) an entity, or the whole
// drawing when the name is null.  RTNORM or RTERROR.
int acedRedraw(const ads_name entity, int mode);
// The host's main frame window.
CWnd* acedGetAcadFrame();

// ---- Reactors ----------------------------------------------------------------------------------

class AcRxEventReactor : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcRxEventReactor);
};

using AcDbVoidPtrArray = std::vector<void*>;

// Editor notices.  Each does nothing unless overridden; the host calls them on its main
// thread, synchronously.
class AcEditorReactor : public AcRxEventReactor {
public:
    ACRX_DECLARE_MEMBERS(AcEditorReactor);

    virtual void dwgFileOpened(AcDbDatabase* db, const char* fileName);
    virtual void beginSave(AcDbDatabase* db, const char* intendedName);
    virtual void saveComplete(AcDbDatabase* db, const char* actualName);
    virtual void abortSave(AcDbDatabase* db);
    virtual void unknownCommand(const char* command, AcDbVoidPtrArray* reserved);
    virtual void commandWillStart(const char* command);
    virtual void commandEnded(const char* command);
    virtual void commandCancelled(const char* command);
    virtual void commandFailed(const char* command);
    // A double-click in the drawing, before the host's own double-click action; the clicked
    // entity is the current selection by then.
    virtual void beginDoubleClick(const AcGePoint3d& clickPoint);
    virtual void beginRightClick(const AcGePoint3d& clickPoint);
};

class AcEditor : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcEditor);
    virtual void addReactor(AcRxEventReactor* reactor) = 0;
    virtual void removeReactor(AcRxEventReactor* reactor) = 0;
};

// ---- Commands ----------------------------------------------------------------------------------

// Command flags.
#define ACRX_CMD_MODAL 0x00000001
#define ACRX_CMD_TRANSPARENT 0x00000002
#define ACRX_CMD_USEPICKSET 0x00000004
#define ACRX_CMD_REDRAW 0x00000008
#define ACRX_CMD_NOINTERNALLOCK 0x00000010
#define ACRX_CMD_DOCREADLOCK 0x00000020
#define ACRX_CMD_DOCEXCLUSIVELOCK 0x00000040
#define ACRX_CMD_SESSION 0x00000080

using AcRxFunctionPtr = AcRx::FunctionPtr;

class AcEdUIContext : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcEdUIContext);
};

class AcEdCommand : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcEdCommand);
    virtual const char* groupName() const = 0;
    virtual const char* globalName() const = 0;
    virtual const char* localName() const = 0;
    virtual int commandFlags() const = 0;
    virtual AcRxFunctionPtr functionAddr() const = 0;
    virtual AcEdUIContext* UIContext() const = 0;
    virtual int functionCode() const = 0;
    virtual HINSTANCE__* resourceHandle() const = 0;
};

// The commands modules add, in groups.  Names compare without regard to letter case.
class AcEdCommandStack : public AcRxObject {
public:
    ACRX_DECLARE_MEMBERS(AcEdCommandStack);

    // eDuplicateKey when the group already has a command of that global or local name;
    // eInvalidInput for empty names or no function.
    virtual Acad::ErrorStatus addCommand(const char* groupName, const char* globalName,
                                         const char* localName, int commandFlags,
                                         AcRxFunctionPtr function,
                                         AcEdUIContext* uiContext = nullptr, int functionCode = -1,
                                         HINSTANCE__* resourceHandle = nullptr,
                                         AcEdCommand** commandOut = nullptr) = 0;
    // eKeyNotFound when the group has no such command.
    virtual Acad::ErrorStatus removeCmd(const char* groupName, const char* globalName) = 0;
    virtual Acad::ErrorStatus removeGroup(const char* groupName) = 0;
    // By global name (globalFlag true) or local name, in any group; nullptr when unknown.
    virtual AcEdCommand* lookupCmd(const char* name, bool globalFlag) = 0;
    virtual AcEdCommand* lookupGlobalCmd(const char* name) = 0;
    virtual AcEdCommand* lookupLocalCmd(const char* name) = 0;
};

AcEdCommandStack* acedRegCmdsPtr();
#define acedRegCmds acedRegCmdsPtr()

// Initialises the host's user-interface library for a module that shows dialogs.
void InitAcUiDLL();

// The host asks a dialog of a module whether it keeps the keyboard focus (TRUE) or lets the
// drawing have it: the window-user base plus 0x6D01.
#define WM_ACAD_KEEPFOCUS (0x0400 + 0x6D01)
