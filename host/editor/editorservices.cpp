// The editor services modules call: printing, prompts, system variables, the selection, the
// display and the frame window.
#include "arx/dbdatabase.h"
#include "arx/dbid.h"
#include "arx/dbservices.h"
#include "arx/editor.h"
#include "editor/documents.h"
#include "editor/moduleloader.h"
#include "editor/points.h"
#include "editor/session.h"

#include "win/window.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

ACRX_NO_CONS_DEFINE_MEMBERS(AcRxEventReactor, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcEditorReactor, AcRxEventReactor)
ACRX_NO_CONS_DEFINE_MEMBERS(AcEditor, AcRxObject)

void AcEditorReactor::dwgFileOpened(AcDbDatabase*, const char*) {}
void AcEditorReactor::beginSave(AcDbDatabase*, const char*) {}
void AcEditorReactor::saveComplete(AcDbDatabase*, const char*) {}
void AcEditorReactor::abortSave(AcDbDatabase*) {}
void AcEditorReactor::unknownCommand(const char*, AcDbVoidPtrArray*) {}
void AcEditorReactor::commandWillStart(const char*) {}
void AcEditorReactor::commandEnded(const char*) {}
void AcEditorReactor::commandCancelled(const char*) {}
void AcEditorReactor::commandFailed(const char*) {}
void AcEditorReactor::beginDoubleClick(const AcGePoint3d&) {}
void AcEditorReactor::beginRightClick(const AcGePoint3d&) {}

namespace cadhost::editor {

namespace {
Session* g_session = nullptr;
} // namespace

Session* TheSession() {
    return g_session;
}
void SetSession(Session* session) {
    g_session = session;
}

void HostEditor::addReactor(AcRxEventReactor* reactor) {
    if (reactor && !has(reactor))
        m_reactors.push_back(reactor);
}
void HostEditor::removeReactor(AcRxEventReactor* reactor) {
    m_reactors.erase(std::remove(m_reactors.begin(), m_reactors.end(), reactor), m_reactors.end());
}
bool HostEditor::has(const AcRxEventReactor* reactor) const {
    return std::find(m_reactors.begin(), m_reactors.end(), reactor) != m_reactors.end();
}

Session::Session() = default;
Session::~Session() = default;

InputItem Session::read() {
    if (!pending.empty()) {
        InputItem item = std::move(pending.front());
        pending.pop_front();
        return item;
    }
    DocManager& docs = Docs();
    for (Document* d : {docs.current(), docs.active()}) {
        if (d && !d->queue().empty()) {
            InputItem item = std::move(d->queue().front());
            d->queue().pop_front();
            return item;
        }
    }
    if (auto line = script.take())
        return ScriptLineToItem(*line);
    if (auto left = script.takeStop()) {
        // As Escape stops a script: the prompt waiting is cancelled, and so is the rest.
        cmdline.echoInput("*Cancel*");
        cmdline.printBlock("Ctrl+C: the script stops; its last " + std::to_string(*left) +
                           (*left == 1 ? " line is" : " lines are") + " not run.");
        return {InputItem::Cancel, "", false, false};
    }
    std::string typed;
    if (script.readTerminal(typed)) {
        InputItem item = ScriptLineToItem(typed);
        return item;
    }
    return {InputItem::End, "", true, false};
}

void Session::reportFailure(const std::string& message) {
    ++failures;
    cmdline.print(message);
}

InputItem Session::ask(const std::string& promptText) {
    cmdline.print(promptText);
    InputItem item = read();
    if (item.kind == InputItem::Text) {
        if (item.echo)
            cmdline.echoInput(item.text);
    } else if (item.echo) {
        cmdline.echoInput("*Cancel*");
    }
    return item;
}

} // namespace cadhost::editor

using cadhost::editor::InputItem;
using cadhost::editor::TheSession;

int acutPrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
    if (n > 0)
        std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    if (auto* s = TheSession())
        s->cmdline.print(text);
    else
        std::fputs(text.c_str(), stdout);
    return n;
}

namespace {

int GetPointImpl(const ads_point base, bool corner, const char* prompt, ads_point result) {
    auto* s = TheSession();
    if (!s)
        return RTERROR;
    s->pointRequest = {true, corner, base != nullptr,
                       base ? cadhost::editor::Point3{base[0], base[1], base[2]}
                            : cadhost::editor::Point3{}};
    InputItem item = s->ask(prompt ? prompt : "");
    s->pointRequest = {};
    if (item.kind != InputItem::Text)
        return RTCAN;
    if (item.text.empty())
        return RTNONE;
    cadhost::editor::Point3 last{};
    if (auto v = s->sysvars.get("LASTPOINT"))
        last = std::get<cadhost::editor::Point3>(*v);
    cadhost::editor::Point3 from = base ? cadhost::editor::Point3{base[0], base[1], base[2]} : last;
    auto p = cadhost::editor::ParsePoint(item.text, from);
    if (!p) {
        s->reportFailure("\nPoint or option keyword required.");
        return RTERROR;
    }
    result[0] = p->x;
    result[1] = p->y;
    result[2] = p->z;
    s->sysvars.setInternal("LASTPOINT", *p);
    return RTNORM;
}

} // namespace

int acedGetPoint(const ads_point basePoint, const char* prompt, ads_point result) {
    return GetPointImpl(basePoint, false, prompt, result);
}

int acedGetCorner(const ads_point basePoint, const char* prompt, ads_point result) {
    if (!basePoint)
        return RTERROR;
    return GetPointImpl(basePoint, true, prompt, result);
}

int acedGetString(int allowSpaces, const char* prompt, char* result, std::size_t resultSize) {
    auto* s = TheSession();
    if (!s || !result || resultSize == 0)
        return RTERROR;
    InputItem item = s->ask(prompt ? prompt : "");
    if (item.kind != InputItem::Text)
        return RTCAN;
    std::string text = item.text;
    if (!allowSpaces) {
        std::size_t blank = text.find(' ');
        if (blank != std::string::npos)
            text.resize(blank);
    }
    if (text.size() + 1 > resultSize)
        return RTERROR;
    std::memcpy(result, text.c_str(), text.size() + 1);
    return RTNORM;
}

int acedSetVar(const char* name, const resbuf* value) {
    auto* s = TheSession();
    if (!s || !name || !value)
        return RTERROR;
    using R = cadhost::editor::SystemVariables::Result;
    return s->sysvars.setFromResbuf(name, *value) == R::Ok ? RTNORM : RTERROR;
}

int acedGetVar(const char* name, resbuf* result) {
    auto* s = TheSession();
    if (!s || !name || !result)
        return RTERROR;
    return s->sysvars.getAsResbuf(name, *result) ? RTNORM : RTERROR;
}

Acad::ErrorStatus acedGetCurrentSelectionSet(AcDbObjectIdArray& selection) {
    selection.removeAll();
    cadhost::editor::Document* doc = cadhost::editor::Docs().current();
    if (!doc)
        return Acad::eNoDocument;
    for (const AcDbObjectId& id : doc->pickfirst())
        if (!id.isNull() && !id.isErased())
            selection.append(id);
    return selection.isEmpty() ? Acad::eInvalidInput : Acad::eOk;
}

int acedRedraw(const ads_name entity, int mode) {
    if (mode < 0 || mode > 4)
        return RTERROR;
    if (!entity || (entity[0] == 0 && entity[1] == 0))
        return RTNORM; // the whole drawing
    AcDbObjectId id;
    if (acdbGetObjectId(id, entity) != Acad::eOk || id.isNull())
        return RTERROR;
    return RTNORM; // a headless host has nothing on screen to change
}

CWnd* acedGetAcadFrame() {
    static CWnd* frame = [] {
        auto* w = new CWnd;
        w->Create("cadhost");
        return w;
    }();
    return frame;
}

void InitAcUiDLL() {}

AcEdCommandStack* acedRegCmdsPtr() {
    return AcEdCommandStack::cast(acrxSysRegistry()->at(ACRX_COMMAND_DOCK));
}
