// The module's resources: what its resource script compiles into it.
#pragma once

#include "win/resource.h"

// The dialog templates and icons of the module, made once.
const win::ResourceScript& RivletResourceScript();
