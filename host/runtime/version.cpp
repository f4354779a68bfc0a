// The version of the host's module interface; a module must be built against the same one.
#include "arx/apiversion.h"

namespace cadhost {
int HostApiVersion() {
    return CADHOST_API_VERSION;
}
} // namespace cadhost
