// Runs registrar scripts (see registrar_script.h) against the registry.
//
// Registration creates every key (opening those that exist), sets the values given, deletes
// the keys marked Delete, and first removes the whole key of a ForceRemove entry, so that
// nothing of an older registration stays below it.  Unregistration removes every key of the
// script with everything below it, except those marked NoRemove: these stay, and what the
// script lists inside them is removed one by one (their named values too).  Keys that are
// already gone are no failure.  A script that cannot be read changes nothing.
#pragma once

#include "registrar_script.h"

#include "win/types.h"

#include <string>
#include <string_view>

namespace scrivel {

// S_OK, kScriptSyntaxError for a script that cannot be read, or the registry's failure as an
// HRESULT (the first one met; what was done before it stays done).  When error is given it
// receives a message for a failure.
HRESULT RegisterScript(std::string_view script, const Replacements& replacements,
                       std::string* error = nullptr);
HRESULT UnregisterScript(std::string_view script, const Replacements& replacements,
                         std::string* error = nullptr);

} // namespace scrivel
