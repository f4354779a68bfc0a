// The dialog templates of the sheet dialogs, as the module's resource script holds them.
#pragma once

#include "win/resource.h"

#include <vector>

std::vector<win::DialogTemplate> SpecSheetDialogTemplates();
