// The version of the module interface.  Every module exports acrxGetApiVersion (supplied by
// the arxsdk library it links), and the host refuses a module built against another version.
#pragma once

#define CADHOST_API_VERSION 16

namespace cadhost {
int HostApiVersion();
} // namespace cadhost

extern "C" int acrxGetApiVersion();
