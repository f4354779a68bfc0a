#include "frame/commands.h"

#include "conversion/rebuild.h"
#include "conversion/rtftoacad.h"
#include "frame/sysvar.h"
#include "specsheet/newspecsheet.h"

#include "win/msgbox.h"

const AcRxCommandEntry g_RivletCommands[] = {
    {"KSRRivlet", "_reformFromDict", "reformFromDict", ACRX_CMD_MODAL, CmdReformFromDict, nullptr},
    {"KSRRivlet", "_RtfToAcad", "RtfToAcad", ACRX_CMD_MODAL, CmdRtfToAcad, nullptr},
    {"KSRRivlet", "_SheetSpec", "SheetSpec", ACRX_CMD_MODAL, CmdSheetSpec, nullptr},
    {"KSRRivlet", "_Reform", "Reform", ACRX_CMD_MODAL, CmdReform, nullptr},
};
const std::size_t g_RivletCommandCount = sizeof g_RivletCommands / sizeof g_RivletCommands[0];

// The end of an external edit (queued by it, or typed): every placed item rebuilt
// from its stored source, and the host's own MText editor back.
void CmdReformFromDict() {
    RebuildFromStoredData();
    SetStringSysVar("MTEXTED", ".");
}

void CmdRtfToAcad() {
    RtfToAcad();
}

// The sheet dialog, for the current drawing.
void CmdSheetSpec() {
    NewSpecSheet dialog(nullptr);
    dialog.DoModal();
}

// The edit of a placed text starts with a double-click; this command only says so.
void CmdReform() {
    AfxMessageBox("There is no 'reform' now.  Simply 'double-click' the text you\nwish to edit, "
                  "save the file and the rest is magic",
                  MB_OK);
}
