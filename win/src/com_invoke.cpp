#include "com_invoke.h"

namespace win::com {

HRESULT CollectArguments(const std::vector<VARTYPE>& types, va_list* ap, ArgStyle style,
                         std::vector<VARIANT>& reversed) {
    std::vector<VARIANT> args;
    HRESULT hr = S_OK;
    for (VARTYPE vt : types) {
        VARIANT v;
        VariantInit(&v);
        v.vt = vt;
        if (vt & VT_BYREF) {
            VARTYPE base = vt & ~VT_BYREF;
            switch (base) {
            case VT_I2:
            case VT_I4:
            case VT_R4:
            case VT_R8:
            case VT_BOOL:
            case VT_ERROR:
            case VT_BSTR:
            case VT_DISPATCH:
            case VT_UNKNOWN:
            case VT_VARIANT:
            case VT_UI1:
                v.byref = va_arg(*ap, void*);
                break;
            default:
                hr = DISP_E_BADVARTYPE;
            }
        } else {
            switch (vt) {
            case VT_I2:
                v.iVal = static_cast<SHORT>(va_arg(*ap, int));
                break;
            case VT_I4:
                v.lVal = static_cast<LONG>(va_arg(*ap, long));
                break;
            case VT_R4:
                v.fltVal = static_cast<float>(va_arg(*ap, double));
                break;
            case VT_R8:
                v.dblVal = va_arg(*ap, double);
                break;
            case VT_ERROR:
                v.scode = static_cast<SCODE>(va_arg(*ap, int));
                break;
            case VT_BOOL:
                v.boolVal = va_arg(*ap, int) ? VARIANT_TRUE : VARIANT_FALSE;
                break;
            case VT_BSTR:
                if (style == ArgStyle::Framework) {
                    const char* text = va_arg(*ap, const char*);
                    v.bstrVal = SysAllocStringUtf8(text ? text : "");
                } else {
                    const wchar_t* text = va_arg(*ap, const wchar_t*);
                    v.bstrVal = SysAllocString(text ? text : L"");
                }
                break;
            case VT_DISPATCH:
            case VT_UNKNOWN:
                v.punkVal = va_arg(*ap, IUnknown*);
                if (v.punkVal)
                    v.punkVal->AddRef();
                break;
            case VT_VARIANT: {
                const VARIANT* source = va_arg(*ap, const VARIANT*);
                VariantInit(&v);
                if (!source) {
                    v.vt = VT_ERROR;
                    v.scode = DISP_E_PARAMNOTFOUND;
                } else {
                    hr = VariantCopy(&v, source);
                }
                break;
            }
            default:
                hr = DISP_E_BADVARTYPE;
            }
        }
        if (FAILED(hr)) {
            FreeArguments(args);
            return hr;
        }
        args.push_back(v);
    }
    reversed.assign(args.rbegin(), args.rend());
    return S_OK;
}

void FreeArguments(std::vector<VARIANT>& reversed) {
    for (auto& v : reversed)
        VariantClear(&v);
    reversed.clear();
}

HRESULT InvokeWith(IDispatch* dispatch, DISPID dispid, WORD flags, std::vector<VARIANT>& reversed,
                   VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
    if (!dispatch)
        return E_POINTER;
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &put;
        params.cNamedArgs = 1;
    }
    return dispatch->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                            excepInfo, argErr);
}

} // namespace win::com

namespace win::com {

const char* ResultText(HRESULT hr) {
    switch (hr) {
    case S_OK:
        return "The operation completed successfully.";
    case E_FAIL:
        return "Unspecified error";
    case E_NOTIMPL:
        return "Not implemented";
    case E_NOINTERFACE:
        return "No such interface supported";
    case E_POINTER:
        return "Invalid pointer";
    case E_ABORT:
        return "Operation aborted";
    case E_UNEXPECTED:
        return "Catastrophic failure";
    case E_ACCESSDENIED:
        return "Access is denied.";
    case E_INVALIDARG:
        return "The parameter is incorrect.";
    case E_OUTOFMEMORY:
        return "Not enough memory resources are available to complete this operation.";
    case CLASS_E_NOAGGREGATION:
        return "Class does not support aggregation (or class object is remote)";
    case CLASS_E_CLASSNOTAVAILABLE:
        return "ClassFactory cannot supply requested class";
    case REGDB_E_CLASSNOTREG:
        return "Class not registered";
    case MK_E_UNAVAILABLE:
        return "Operation unavailable";
    case CO_E_NOTINITIALIZED:
        return "CoInitialize has not been called.";
    case CO_E_CLASSSTRING:
        return "Invalid class string";
    case CO_E_OBJNOTREG:
        return "Object is not registered";
    case CO_E_SERVER_EXEC_FAILURE:
        return "Server execution failed";
    case RPC_E_SERVER_DIED:
        return "The remote procedure call failed and did not execute.";
    case RPC_E_DISCONNECTED:
        return "The object invoked has disconnected from its clients.";
    case RPC_E_CHANGED_MODE:
        return "Cannot change thread mode after it is set.";
    case DISP_E_UNKNOWNINTERFACE:
        return "Unknown interface.";
    case DISP_E_MEMBERNOTFOUND:
        return "Member not found.";
    case DISP_E_PARAMNOTFOUND:
        return "Parameter not found.";
    case DISP_E_TYPEMISMATCH:
        return "Type mismatch.";
    case DISP_E_UNKNOWNNAME:
        return "Unknown name.";
    case DISP_E_NONAMEDARGS:
        return "No named arguments.";
    case DISP_E_BADVARTYPE:
        return "Bad variable type.";
    case DISP_E_EXCEPTION:
        return "Exception occurred.";
    case DISP_E_OVERFLOW:
        return "Out of present range.";
    case DISP_E_BADINDEX:
        return "Invalid index.";
    case DISP_E_BADPARAMCOUNT:
        return "Invalid number of parameters.";
    case DISP_E_PARAMNOTOPTIONAL:
        return "Parameter not optional.";
    case TYPE_E_REGISTRYACCESS:
        return "The type library could not be written to the registry.";
    case HRESULT_FROM_WIN32(ERROR_DISK_FULL):
        return "The disk is full.";
    case HRESULT_FROM_WIN32(ERROR_CANTOPEN):
        return "The registry key could not be opened.";
    case HRESULT_FROM_WIN32(ERROR_CANTREAD):
        return "The registry could not be read.";
    case HRESULT_FROM_WIN32(ERROR_CANTWRITE):
        return "The registry could not be written.";
    case HRESULT_FROM_WIN32(ERROR_REGISTRY_CORRUPT):
        return "The registry file is damaged.";
    case HRESULT_FROM_WIN32(ERROR_KEY_DELETED):
        return "The registry key was deleted by another program while in use.";
    default:
        return "";
    }
}

} // namespace win::com
