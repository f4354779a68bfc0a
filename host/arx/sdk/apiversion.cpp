// Linked into every module: answers the host's question which interface the module was built
// against.
#include "arx/apiversion.h"

extern "C" __attribute__((visibility("default"))) int acrxGetApiVersion() {
    return CADHOST_API_VERSION;
}
