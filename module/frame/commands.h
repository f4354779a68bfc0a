// The module's commands, in the order of its command table.
#pragma once

#include "arx/arxapp.h"

#include <cstddef>

void CmdReformFromDict();
void CmdRtfToAcad();
void CmdSheetSpec();
void CmdReform();

// The command table: group "KSRRivlet", every command modal.
extern const AcRxCommandEntry g_RivletCommands[];
extern const std::size_t g_RivletCommandCount;
