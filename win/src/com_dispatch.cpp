// DispatchObject and DispCall: objects that serve their members by name.
#include "win/com.h"
#include "win/crtstring.h"

namespace win {

DispCall::DispCall(WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                   UINT* argErr)
    : m_flags(flags), m_params(params), m_result(result), m_excepInfo(excepInfo), m_argErr(argErr) {
    m_count = params->cArgs - (IsPut() && params->cArgs > 0 ? 1 : 0);
}

// A put's value is rgvarg[0]; the positional arguments follow it, the last one first.
const VARIANT* DispCall::Arg(UINT i) const {
    if (i >= m_count)
        return nullptr;
    const VARIANT* v = &m_params->rgvarg[RgIndex(i)];
    if (v->vt == (VT_BYREF | VT_VARIANT))
        v = v->pvarVal;
    if (!v || (v->vt == VT_ERROR && v->scode == DISP_E_PARAMNOTFOUND))
        return nullptr;
    return v;
}

const VARIANT* DispCall::Value() const {
    if (!IsPut() || m_params->cArgs == 0)
        return nullptr;
    const VARIANT* v = &m_params->rgvarg[0];
    return v->vt == (VT_BYREF | VT_VARIANT) ? v->pvarVal : v;
}

VARIANT* DispCall::OutArg(UINT i) const {
    if (i >= m_count)
        return nullptr;
    VARIANT* v = &m_params->rgvarg[RgIndex(i)];
    return v->vt == (VT_BYREF | VT_VARIANT) ? v->pvarVal : nullptr;
}

HRESULT DispCall::Convert(UINT rgIndex, const VARIANT* v, VARTYPE vt, VARIANT& out) const {
    VariantInit(&out);
    HRESULT hr = v ? VariantChangeType(&out, v, 0, vt) : DISP_E_PARAMNOTFOUND;
    if (FAILED(hr) && m_argErr)
        *m_argErr = rgIndex;
    return hr;
}

HRESULT DispCall::GetString(UINT i, std::string& out) const {
    VARIANT v;
    HRESULT hr = Convert(i < m_count ? RgIndex(i) : 0, Arg(i), VT_BSTR, v);
    if (SUCCEEDED(hr))
        out = BstrToUtf8(v.bstrVal);
    VariantClear(&v);
    return hr;
}

HRESULT DispCall::GetLong(UINT i, LONG& out) const {
    VARIANT v;
    HRESULT hr = Convert(i < m_count ? RgIndex(i) : 0, Arg(i), VT_I4, v);
    if (SUCCEEDED(hr))
        out = v.lVal;
    return hr;
}

HRESULT DispCall::GetBool(UINT i, bool& out) const {
    VARIANT v;
    HRESULT hr = Convert(i < m_count ? RgIndex(i) : 0, Arg(i), VT_BOOL, v);
    if (SUCCEEDED(hr))
        out = v.boolVal != VARIANT_FALSE;
    return hr;
}

HRESULT DispCall::GetValueLong(LONG& out) const {
    VARIANT v;
    HRESULT hr = Convert(0, Value(), VT_I4, v);
    if (SUCCEEDED(hr))
        out = v.lVal;
    return hr;
}

HRESULT DispCall::GetValueBool(bool& out) const {
    VARIANT v;
    HRESULT hr = Convert(0, Value(), VT_BOOL, v);
    if (SUCCEEDED(hr))
        out = v.boolVal != VARIANT_FALSE;
    return hr;
}

HRESULT DispCall::ReturnLong(LONG value) {
    if (m_result) {
        VariantClear(m_result);
        m_result->vt = VT_I4;
        m_result->lVal = value;
    }
    return S_OK;
}

HRESULT DispCall::ReturnBool(bool value) {
    if (m_result) {
        VariantClear(m_result);
        m_result->vt = VT_BOOL;
        m_result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
    return S_OK;
}

HRESULT DispCall::ReturnString(std::string_view utf8) {
    if (m_result) {
        VariantClear(m_result);
        m_result->bstrVal = SysAllocStringUtf8(utf8);
        if (!m_result->bstrVal)
            return E_OUTOFMEMORY;
        m_result->vt = VT_BSTR;
    }
    return S_OK;
}

HRESULT DispCall::ReturnDispatch(IDispatch* object) {
    if (m_result) {
        VariantClear(m_result);
        m_result->vt = VT_DISPATCH;
        m_result->pdispVal = object;
        if (object)
            object->AddRef();
    }
    return S_OK;
}

HRESULT DispCall::ReturnUnknown(IUnknown* object) {
    if (m_result) {
        VariantClear(m_result);
        m_result->vt = VT_UNKNOWN;
        m_result->punkVal = object;
        if (object)
            object->AddRef();
    }
    return S_OK;
}

HRESULT DispCall::ReturnVariant(const VARIANT& value) {
    return m_result ? VariantCopy(m_result, &value) : S_OK;
}

HRESULT DispCall::Raise(std::string_view description, SCODE scode, std::string_view source) {
    if (m_excepInfo) {
        *m_excepInfo = EXCEPINFO{};
        m_excepInfo->scode = scode;
        m_excepInfo->bstrDescription = SysAllocStringUtf8(description);
        if (!source.empty())
            m_excepInfo->bstrSource = SysAllocStringUtf8(source);
    }
    return DISP_E_EXCEPTION;
}

HRESULT DispatchObject::QueryInterface(REFIID riid, void** ppvObject) {
    if (!ppvObject)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
        *ppvObject = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

ULONG DispatchObject::AddRef() {
    return ++m_refs;
}

ULONG DispatchObject::Release() {
    ULONG left = --m_refs;
    if (left == 0)
        delete this;
    return left;
}

HRESULT DispatchObject::GetTypeInfoCount(UINT* pctinfo) {
    if (!pctinfo)
        return E_INVALIDARG;
    *pctinfo = 0;
    return S_OK;
}

HRESULT DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) {
    if (ppTInfo)
        *ppTInfo = nullptr;
    return E_NOTIMPL;
}

HRESULT DispatchObject::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID,
                                      DISPID* rgDispId) {
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (!rgszNames || !rgDispId || cNames == 0)
        return E_INVALIDARG;
    for (UINT i = 0; i < cNames; ++i)
        rgDispId[i] = DISPID_UNKNOWN;
    std::string name = rgszNames[0] ? WideToUtf8(rgszNames[0]) : std::string();
    for (const DispMember& member : m_members) {
        if (_stricmp(member.name, name.c_str()) == 0) {
            rgDispId[0] = member.id;
            // Parameters have no names here.
            return cNames == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    return DISP_E_UNKNOWNNAME;
}

HRESULT DispatchObject::Invoke(DISPID dispIdMember, REFIID riid, LCID, WORD wFlags,
                               DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                               UINT* puArgErr) {
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    if (!pDispParams || (pDispParams->cArgs && !pDispParams->rgvarg) ||
        pDispParams->cNamedArgs > pDispParams->cArgs)
        return E_INVALIDARG;
    const DispMember* member = nullptr;
    for (const DispMember& m : m_members)
        if (m.id == dispIdMember)
            member = &m;
    // A put of an object reference is served by the member's put.
    WORD asked = (wFlags & DISPATCH_PROPERTYPUTREF) ? (wFlags | DISPATCH_PROPERTYPUT) : wFlags;
    if (!member || (member->kinds & asked) == 0)
        return DISP_E_MEMBERNOTFOUND;
    bool put = (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    if (put) {
        if (pDispParams->cNamedArgs != 1 || pDispParams->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return pDispParams->cNamedArgs == 0 ? DISP_E_PARAMNOTFOUND : DISP_E_NONAMEDARGS;
    } else if (pDispParams->cNamedArgs != 0) {
        return DISP_E_NONAMEDARGS;
    }
    DispCall call(wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
    if (call.Count() < member->minArgs || call.Count() > member->maxArgs)
        return DISP_E_BADPARAMCOUNT;
    if (pVarResult)
        VariantInit(pVarResult);
    return Call(dispIdMember, call);
}

} // namespace win
