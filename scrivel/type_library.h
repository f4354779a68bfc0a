// Registration of a type library under HKEY_CLASSES_ROOT\TypeLib, where clients look a
// library up by its LIBID and version:
//
//   TypeLib\{LIBID}\<major>.<minor>                default: the help text
//   TypeLib\{LIBID}\<major>.<minor>\FLAGS          default: "0"
//   TypeLib\{LIBID}\<major>.<minor>\<lcid>\win32   default: the file holding the library
//   TypeLib\{LIBID}\<major>.<minor>\HELPDIR        default: the folder of the help files
//
// (version and locale in hexadecimal, as clients look them up: 1.0 and 409 for 1033).  The
// library describes no types, so no interfaces are registered with it.
#pragma once

#include "resources.h"

#include "win/types.h"

#include <string>

namespace scrivel {

// S_OK, or TYPE_E_REGISTRYACCESS when the registry cannot be written.  When error is given it
// receives what failed.
HRESULT RegisterTypeLibrary(const TypeLibraryResource& library, const std::string& file,
                            const std::string& helpFolder, std::string* error = nullptr);

// Removes the version's key, and the LIBID's key when nothing else is left in it.  A library
// that is not registered is no failure; TYPE_E_REGISTRYACCESS when a key cannot be removed.
// When error is given it receives what failed.
HRESULT UnregisterTypeLibrary(const TypeLibraryResource& library, std::string* error = nullptr);

} // namespace scrivel
