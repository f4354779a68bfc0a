#include "frame/commands.h"

#include "conversion/rtftoacad.h"
#include "specsheet/newspecsheet.h"

#include "win/msgbox.h"

const AcRxCommandEntry g_RivletCommands[] = {
    {"KSRRivlet", "_reformFromDict", "reformFromDict", ACRX_CMD_MODAL, CmdReformFromDict, nullptr},
    {"KSRRivlet", "_RtfToAcad", "RtfToAcad", ACRX_CMD_MODAL, CmdRtfToAcad, nullptr},
    {"KSRRivlet", "_SheetSpec", "SheetSpec", ACRX_CMD_MODAL, CmdSheetSpec, nullptr},
    {"KSRRivlet", "_Reform", "Reform", ACRX_CMD_MODAL, CmdReform, nullptr},
};
const std::size_t g_RivletCommandCount = sizeof g_RivletCommands / sizeof g_RivletCommands[0];

// The rebuild from stored data is reached through this command; it says so plainly while its
// part of the module is not in it.
void CmdReformFromDict() {
    acutPrintf("\nreformFromDict: rebuilding from stored specifications is not in this build.");
}

void CmdRtfToAcad() {
    RtfToAcad();
}

// The spec-sheet dialog, for the current drawing.
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
