#include "frame/resourcescript.h"

#include "specsheet/dialogtemplates.h"
#include "specsheet/icons.h"

const win::ResourceScript& RivletResourceScript() {
    static const win::ResourceScript script{SpecSheetDialogTemplates(), {}, SpecSheetIcons()};
    return script;
}
