// How a registration step that failed in the registry is described to the user.
#pragma once

#include "win/types.h"

#include <string>

namespace scrivel {

// "WHAT (error N: the system's text for N)", for a registry call that ended with status.
std::string RegistryFailure(const std::string& what, LSTATUS status);

// The system's text for a result ("Unspecified error", ...).
std::string ResultMeaning(HRESULT hr);

} // namespace scrivel
