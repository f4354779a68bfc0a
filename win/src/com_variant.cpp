// VARIANT rules: initialising, clearing, copying and converting.
#include "win/com.h"

#include <cerrno>
#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <limits>
#include <string>

namespace {

bool KnownBaseType(VARTYPE vt) {
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_BOOL:
    case VT_UNKNOWN:
    case VT_UI1:
        return true;
    default:
        return false;
    }
}

bool KnownType(VARTYPE vt) {
    if (vt & VT_BYREF) {
        VARTYPE base = vt & ~VT_BYREF;
        return base == VT_VARIANT || (KnownBaseType(base) && base != VT_EMPTY && base != VT_NULL);
    }
    return KnownBaseType(vt);
}

// A number as a double when the variant holds one (VT_EMPTY is 0).
bool NumberOf(const VARIANT& v, double& out) {
    switch (v.vt) {
    case VT_EMPTY:
        out = 0;
        return true;
    case VT_I2:
        out = v.iVal;
        return true;
    case VT_I4:
        out = v.lVal;
        return true;
    case VT_R4:
        out = v.fltVal;
        return true;
    case VT_R8:
        out = v.dblVal;
        return true;
    case VT_BOOL:
        out = v.boolVal ? -1 : 0;
        return true;
    case VT_UI1:
        out = v.bVal;
        return true;
    default:
        return false;
    }
}

std::wstring Trimmed(BSTR s) {
    std::wstring text(s ? s : L"", SysStringLen(s));
    std::size_t a = 0, b = text.size();
    while (a < b && std::iswspace(static_cast<wint_t>(text[a])))
        ++a;
    while (b > a && std::iswspace(static_cast<wint_t>(text[b - 1])))
        --b;
    return text.substr(a, b - a);
}

bool EqualsNoCase(const std::wstring& a, const wchar_t* b) {
    std::size_t n = std::wcslen(b);
    if (a.size() != n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i])))
            return false;
    return true;
}

// Decimal text (an optional sign, digits, an optional fraction and exponent).
HRESULT ParseNumber(BSTR s, double& out) {
    std::wstring text = Trimmed(s);
    if (text.empty())
        return DISP_E_TYPEMISMATCH;
    std::string narrow;
    for (wchar_t c : text) {
        if (c > 0x7F)
            return DISP_E_TYPEMISMATCH;
        narrow += static_cast<char>(c);
    }
    if (narrow.find_first_of("xXpPnNiI") != std::string::npos) // no hex, no inf or nan
        return DISP_E_TYPEMISMATCH;
    errno = 0;
    char* end = nullptr;
    double value = std::strtod(narrow.c_str(), &end);
    if (end != narrow.c_str() + narrow.size())
        return DISP_E_TYPEMISMATCH;
    if (errno == ERANGE && std::isinf(value))
        return DISP_E_OVERFLOW;
    out = value;
    return S_OK;
}

HRESULT ToInteger(double value, double lo, double hi, double& out) {
    double rounded = std::nearbyint(value); // the default mode rounds half to even
    if (!(rounded >= lo && rounded <= hi))
        return DISP_E_OVERFLOW;
    out = rounded;
    return S_OK;
}

BSTR NumberText(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", value);
    return win::SysAllocStringUtf8(text);
}

// The value of an object: its DISPID_VALUE property.
HRESULT ValueOfObject(IUnknown* object, VARIANT& out) {
    if (!object)
        return DISP_E_TYPEMISMATCH;
    IDispatch* disp = nullptr;
    if (FAILED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp))) || !disp)
        return DISP_E_TYPEMISMATCH;
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VariantInit(&out);
    HRESULT hr = disp->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                              &none, &out, nullptr, nullptr);
    disp->Release();
    if (FAILED(hr)) {
        VariantClear(&out);
        return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

HRESULT Convert(VARIANT& dest, const VARIANT& src, USHORT flags, VARTYPE vt, int depth);

HRESULT ConvertFromObject(VARIANT& dest, const VARIANT& src, USHORT flags, VARTYPE vt, int depth) {
    if ((flags & VARIANT_NOVALUEPROP) || depth > 4)
        return DISP_E_TYPEMISMATCH;
    VARIANT value;
    HRESULT hr = ValueOfObject(src.punkVal, value);
    if (FAILED(hr))
        return hr;
    hr = Convert(dest, value, flags, vt, depth + 1);
    VariantClear(&value);
    return hr;
}

// Converts into dest, which is VT_EMPTY and owned by the caller.
HRESULT Convert(VARIANT& dest, const VARIANT& src, USHORT flags, VARTYPE vt, int depth) {
    bool object = src.vt == VT_DISPATCH || src.vt == VT_UNKNOWN;
    switch (vt) {
    case VT_EMPTY:
        return S_OK;
    case VT_NULL:
        if (src.vt != VT_NULL)
            return DISP_E_TYPEMISMATCH;
        dest.vt = VT_NULL;
        return S_OK;
    case VT_ERROR:
        if (src.vt != VT_ERROR)
            return DISP_E_TYPEMISMATCH;
        dest.vt = VT_ERROR;
        dest.scode = src.scode;
        return S_OK;
    case VT_DISPATCH:
    case VT_UNKNOWN: {
        if (!object)
            return DISP_E_TYPEMISMATCH;
        if (vt == VT_UNKNOWN || src.vt == VT_DISPATCH) {
            dest.vt = vt;
            dest.punkVal = src.punkVal;
            if (dest.punkVal)
                dest.punkVal->AddRef();
            return S_OK;
        }
        IDispatch* disp = nullptr;
        if (!src.punkVal ||
            FAILED(src.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp))))
            return DISP_E_TYPEMISMATCH;
        dest.vt = VT_DISPATCH;
        dest.pdispVal = disp;
        return S_OK;
    }
    case VT_BSTR: {
        if (object)
            return ConvertFromObject(dest, src, flags, vt, depth);
        BSTR text = nullptr;
        if (src.vt == VT_BSTR) {
            text = SysAllocStringLen(src.bstrVal, SysStringLen(src.bstrVal));
        } else if (src.vt == VT_EMPTY) {
            text = SysAllocString(L"");
        } else if (src.vt == VT_BOOL) {
            const wchar_t* word = (flags & VARIANT_ALPHABOOL) ? (src.boolVal ? L"True" : L"False")
                                                              : (src.boolVal ? L"-1" : L"0");
            text = SysAllocString(word);
        } else {
            double number = 0;
            if (!NumberOf(src, number))
                return DISP_E_TYPEMISMATCH;
            text = NumberText(number);
        }
        if (!text)
            return E_OUTOFMEMORY;
        dest.vt = VT_BSTR;
        dest.bstrVal = text;
        return S_OK;
    }
    case VT_BOOL:
    case VT_I2:
    case VT_I4:
    case VT_UI1:
    case VT_R4:
    case VT_R8: {
        if (object)
            return ConvertFromObject(dest, src, flags, vt, depth);
        double number = 0;
        if (src.vt == VT_BSTR) {
            std::wstring text = Trimmed(src.bstrVal);
            if (EqualsNoCase(text, L"True"))
                number = -1;
            else if (EqualsNoCase(text, L"False"))
                number = 0;
            else if (HRESULT hr = ParseNumber(src.bstrVal, number); FAILED(hr))
                return hr;
        } else if (!NumberOf(src, number)) {
            return DISP_E_TYPEMISMATCH;
        }
        double whole = 0;
        HRESULT hr = S_OK;
        switch (vt) {
        case VT_BOOL:
            dest.boolVal = number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case VT_I2:
            hr = ToInteger(number, -32768.0, 32767.0, whole);
            dest.iVal = static_cast<SHORT>(whole);
            break;
        case VT_I4:
            hr = ToInteger(number, -2147483648.0, 2147483647.0, whole);
            dest.lVal = static_cast<LONG>(whole);
            break;
        case VT_UI1:
            hr = ToInteger(number, 0.0, 255.0, whole);
            dest.bVal = static_cast<BYTE>(whole);
            break;
        case VT_R4:
            if (std::fabs(number) > std::numeric_limits<float>::max())
                hr = DISP_E_OVERFLOW;
            dest.fltVal = static_cast<float>(number);
            break;
        default:
            dest.dblVal = number;
            break;
        }
        if (FAILED(hr)) {
            VariantInit(&dest);
            return hr;
        }
        dest.vt = vt;
        return S_OK;
    }
    default:
        return DISP_E_BADVARTYPE;
    }
}

} // namespace

void VariantInit(VARIANTARG* pvarg) {
    if (!pvarg)
        return;
    pvarg->vt = VT_EMPTY;
    pvarg->wReserved1 = pvarg->wReserved2 = pvarg->wReserved3 = 0;
    pvarg->dblVal = 0;
    pvarg->byref = nullptr;
}

HRESULT VariantClear(VARIANTARG* pvarg) {
    if (!pvarg)
        return E_INVALIDARG;
    if (!KnownType(pvarg->vt))
        return DISP_E_BADVARTYPE;
    if (pvarg->vt == VT_BSTR)
        SysFreeString(pvarg->bstrVal);
    else if ((pvarg->vt == VT_DISPATCH || pvarg->vt == VT_UNKNOWN) && pvarg->punkVal)
        pvarg->punkVal->Release();
    VariantInit(pvarg);
    return S_OK;
}

HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc) {
    if (!pvargDest || !pvargSrc)
        return E_INVALIDARG;
    if (pvargDest == pvargSrc)
        return S_OK;
    if (!KnownType(pvargSrc->vt))
        return DISP_E_BADVARTYPE;
    VARIANT copy = *pvargSrc;
    if (copy.vt == VT_BSTR && copy.bstrVal) {
        copy.bstrVal = SysAllocStringLen(pvargSrc->bstrVal, SysStringLen(pvargSrc->bstrVal));
        if (!copy.bstrVal)
            return E_OUTOFMEMORY;
    }
    if (HRESULT hr = VariantClear(pvargDest); FAILED(hr)) {
        if (copy.vt == VT_BSTR)
            SysFreeString(copy.bstrVal);
        return hr;
    }
    if ((copy.vt == VT_DISPATCH || copy.vt == VT_UNKNOWN) && copy.punkVal)
        copy.punkVal->AddRef();
    *pvargDest = copy;
    return S_OK;
}

HRESULT VariantCopyInd(VARIANT* pvarDest, const VARIANTARG* pvargSrc) {
    if (!pvarDest || !pvargSrc)
        return E_INVALIDARG;
    if (!(pvargSrc->vt & VT_BYREF))
        return VariantCopy(pvarDest, pvargSrc);
    if (!KnownType(pvargSrc->vt) || !pvargSrc->byref)
        return DISP_E_BADVARTYPE;
    VARTYPE base = pvargSrc->vt & ~VT_BYREF;
    if (base == VT_VARIANT) {
        if (pvargSrc->pvarVal->vt & VT_BYREF)
            return E_INVALIDARG;
        VARIANT copy;
        VariantInit(&copy);
        if (HRESULT hr = VariantCopy(&copy, pvargSrc->pvarVal); FAILED(hr))
            return hr;
        VariantClear(pvarDest);
        *pvarDest = copy;
        return S_OK;
    }
    VARIANT value;
    VariantInit(&value);
    value.vt = base;
    switch (base) {
    case VT_I2:
        value.iVal = *pvargSrc->piVal;
        break;
    case VT_I4:
        value.lVal = *pvargSrc->plVal;
        break;
    case VT_R4:
        value.fltVal = *pvargSrc->pfltVal;
        break;
    case VT_R8:
        value.dblVal = *pvargSrc->pdblVal;
        break;
    case VT_BOOL:
        value.boolVal = *pvargSrc->pboolVal;
        break;
    case VT_ERROR:
        value.scode = *pvargSrc->pscode;
        break;
    case VT_UI1:
        value.bVal = *pvargSrc->pbVal;
        break;
    case VT_BSTR:
        value.bstrVal = *pvargSrc->pbstrVal;
        break;
    default: // VT_DISPATCH, VT_UNKNOWN
        value.punkVal = *pvargSrc->ppunkVal;
        break;
    }
    // Copying the value the reference points to duplicates what it owns.
    return VariantCopy(pvarDest, &value);
}

HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags,
                          VARTYPE vt) {
    if (!pvargDest || !pvarSrc)
        return E_INVALIDARG;
    if (!KnownType(pvarSrc->vt) || !KnownType(vt) || (vt & VT_BYREF))
        return DISP_E_BADVARTYPE;
    VARIANT source;
    VariantInit(&source);
    if (HRESULT hr = VariantCopyInd(&source, pvarSrc); FAILED(hr))
        return hr;
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = Convert(result, source, wFlags, vt, 0);
    VariantClear(&source);
    if (FAILED(hr))
        return hr;
    if (HRESULT cleared = VariantClear(pvargDest); FAILED(cleared)) {
        VariantClear(&result);
        return cleared;
    }
    *pvargDest = result;
    return S_OK;
}
