#include "frame/sysvar.h"

#include "arx/editor.h"
#include "win/msgbox.h"

#include <string>

Acad::ErrorStatus SetSysVar(const char* varName, const resbuf* value) {
    if (acedSetVar(varName, value) == RTNORM)
        return Acad::eOk;

    std::string message = "Could not set system variable \"";
    message += varName ? varName : "";
    message += "\".";
    AfxMessageBox(message.c_str(), MB_OK | MB_ICONSTOP);
    return Acad::eInvalidInput;
}

Acad::ErrorStatus SetStringSysVar(const char* varName, const char* value) {
    resbuf text{};
    text.rbnext = nullptr;
    text.restype = RTSTR;
    // The host copies the value; the buffer only lends it for the call.
    text.resval.rstring = const_cast<char*>(value ? value : "");
    return SetSysVar(varName, &text);
}
