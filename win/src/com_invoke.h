// Calls by DISPID with arguments described by type codes, as the dispatch driver of the
// framework and the compiler's dispatch helper both make them.
#pragma once

#include "win/com.h"

#include <cstdarg>
#include <vector>

namespace win::com {

// How each type takes its argument from the variable list.  Both: VT_I2 short, VT_I4 long,
// VT_R4 float, VT_R8 double, VT_ERROR SCODE, VT_DISPATCH IDispatch*, VT_UNKNOWN IUnknown*,
// VT_VARIANT const VARIANT* (null for a missing argument), VT_BYREF types a pointer to the
// type.  VT_BSTR is UTF-8 const char* in the framework, a BSTR in the compiler's helper;
// VT_BOOL is a BOOL in the framework, a VARIANT_BOOL in the compiler's helper.
enum class ArgStyle { Framework, Compiler };

// The arguments in Invoke's order (the last first); free them with FreeArguments.
// DISP_E_BADVARTYPE for a type code not listed above.
HRESULT CollectArguments(const std::vector<VARTYPE>& types, va_list* ap, ArgStyle style,
                         std::vector<VARIANT>& reversed);
void FreeArguments(std::vector<VARIANT>& reversed);

// Invoke with the arguments; a property put names its value DISPID_PROPERTYPUT.
HRESULT InvokeWith(IDispatch* dispatch, DISPID dispid, WORD flags, std::vector<VARIANT>& reversed,
                   VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr);

} // namespace win::com

namespace win::com {

// The system's text for a result, as FormatMessage gives it ("Unspecified error", ...), or
// empty when it has none.
const char* ResultText(HRESULT hr);

} // namespace win::com
