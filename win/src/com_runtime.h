// What the server and the client halves of the object runtime share: the thread's
// initialisation, the registration files in the prefix and this process's own registrations.
#pragma once

#include "win/com.h"

#include <string>
#include <vector>

namespace win::com {

bool ThreadInitialised();
// Milliseconds a client waits for a starting server, and a server for its first client.
DWORD StartTimeout();

// A registration another process (or this one) wrote: "<kind>/<clsid>.<pid>.<cookie>" in
// <prefix>/com/, holding the process id, the socket name, the cookie and the flags.
struct RegistrationFile {
    std::string path;
    DWORD pid = 0;
    std::string socket;
    DWORD cookie = 0;
    DWORD flags = 0;
};
inline constexpr const char* kClassesFolder = "classes";
inline constexpr const char* kRunningFolder = "rot";

// The registrations of a class by other processes, those of processes that no longer exist
// removed on the way.
std::vector<RegistrationFile> FindRegistrations(const char* kind, REFCLSID clsid);
void RemoveRegistration(const std::string& path);

// A class factory registered in this process for one of the contexts, AddRef'd, or null.
IUnknown* LocalClassFactory(REFCLSID clsid, DWORD clsctx);
// An object this process registered as running, AddRef'd, or null.
IUnknown* LocalActiveObject(REFCLSID clsid);

// Closes every connection of this process to servers (its proxies answer RPC_E_DISCONNECTED).
void DisconnectFromServers();

} // namespace win::com
