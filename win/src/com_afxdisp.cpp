// The framework's automation client: COleException, COleDispatchException, COleVariant and
// COleDispatchDriver.
#include "win/afxdisp.h"

#include "com_invoke.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace {

BOOL CopyText(const std::string& text, char* buffer, UINT size, UINT* helpContext, UINT help) {
    if (helpContext)
        *helpContext = help;
    if (!buffer || size == 0)
        return !text.empty();
    std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return !text.empty();
}

void CheckOle(HRESULT hr) {
    if (FAILED(hr))
        AfxThrowOleException(hr);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Exceptions

SCODE COleException::Process(const CException* pAnyException) {
    if (auto* ole = dynamic_cast<const COleException*>(pAnyException))
        return ole->m_sc;
    if (auto* dispatch = dynamic_cast<const COleDispatchException*>(pAnyException))
        return dispatch->m_scError ? dispatch->m_scError : DISP_E_EXCEPTION;
    return pAnyException ? E_UNEXPECTED : S_OK;
}

BOOL COleException::GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext) {
    char code[24];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(m_sc));
    std::string known = win::com::ResultText(m_sc);
    std::string text =
        known.empty() ? "Unknown error " + std::string(code) : known + " (" + code + ")";
    return CopyText(text, lpszError, nMaxError, pnHelpContext, 0);
}

COleDispatchException::COleDispatchException(const char* lpszDescription, UINT nHelpID, WORD wCode)
    : m_wCode(wCode), m_scError(0), m_dwHelpContext(nHelpID),
      m_strDescription(lpszDescription ? lpszDescription : "") {}

BOOL COleDispatchException::GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext) {
    return CopyText(m_strDescription, lpszError, nMaxError, pnHelpContext, m_dwHelpContext);
}

BOOL AfxOleInit() {
    return SUCCEEDED(OleInitialize(nullptr));
}

void AfxThrowOleException(SCODE sc) {
    throw new COleException(sc);
}

void AfxThrowOleDispatchException(WORD wCode, const char* lpszDescription, UINT nHelpID) {
    throw new COleDispatchException(lpszDescription, nHelpID, wCode);
}

// ---------------------------------------------------------------------------------------------
// COleVariant

COleVariant::COleVariant(const VARIANT& v) {
    VariantInit(this);
    CheckOle(VariantCopy(this, &v));
}

COleVariant::COleVariant(const COleVariant& v) : tagVARIANT() {
    VariantInit(this);
    CheckOle(VariantCopy(this, &v));
}

COleVariant::COleVariant(const VARIANT* v) {
    VariantInit(this);
    if (v)
        CheckOle(VariantCopy(this, v));
}

COleVariant::COleVariant(const char* lpszSrc, VARTYPE vtSrc) {
    VariantInit(this);
    if (vtSrc != VT_BSTR)
        AfxThrowOleException(E_INVALIDARG);
    bstrVal = win::SysAllocStringUtf8(lpszSrc ? lpszSrc : "");
    if (!bstrVal)
        AfxThrowOleException(E_OUTOFMEMORY);
    vt = VT_BSTR;
}

COleVariant::COleVariant(const std::string& strSrc) : COleVariant(strSrc.c_str()) {
    // Text with zeros inside keeps them.
    SysFreeString(bstrVal);
    bstrVal = win::SysAllocStringUtf8(strSrc);
}

COleVariant::COleVariant(short nSrc, VARTYPE vtSrc) {
    VariantInit(this);
    if (vtSrc == VT_BOOL) {
        boolVal = nSrc ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (vtSrc == VT_I2) {
        iVal = nSrc;
    } else {
        AfxThrowOleException(E_INVALIDARG);
    }
    vt = vtSrc;
}

COleVariant::COleVariant(long lSrc, VARTYPE vtSrc) {
    VariantInit(this);
    switch (vtSrc) {
    case VT_I4:
        lVal = static_cast<LONG>(lSrc);
        break;
    case VT_ERROR:
        scode = static_cast<SCODE>(lSrc);
        break;
    case VT_BOOL:
        boolVal = lSrc ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    default:
        AfxThrowOleException(E_INVALIDARG);
    }
    vt = vtSrc;
}

COleVariant::COleVariant(int nSrc, VARTYPE vtSrc) : COleVariant(static_cast<long>(nSrc), vtSrc) {}

COleVariant::COleVariant(double dblSrc) {
    VariantInit(this);
    vt = VT_R8;
    dblVal = dblSrc;
}

COleVariant& COleVariant::operator=(const COleVariant& v) {
    CheckOle(VariantCopy(this, &v));
    return *this;
}

COleVariant& COleVariant::operator=(const VARIANT& v) {
    CheckOle(VariantCopy(this, &v));
    return *this;
}

COleVariant& COleVariant::operator=(const char* lpszSrc) {
    COleVariant text(lpszSrc);
    Clear();
    static_cast<VARIANT&>(*this) = text.Detach();
    return *this;
}

COleVariant& COleVariant::operator=(long lSrc) {
    Clear();
    vt = VT_I4;
    lVal = static_cast<LONG>(lSrc);
    return *this;
}

bool COleVariant::operator==(const VARIANT& v) const {
    if (vt != v.vt)
        return false;
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
        return true;
    case VT_I2:
        return iVal == v.iVal;
    case VT_I4:
        return lVal == v.lVal;
    case VT_BOOL:
        return boolVal == v.boolVal;
    case VT_ERROR:
        return scode == v.scode;
    case VT_R4:
        return fltVal == v.fltVal;
    case VT_R8:
        return dblVal == v.dblVal;
    case VT_BSTR:
        return SysStringLen(bstrVal) == SysStringLen(v.bstrVal) &&
               std::wmemcmp(bstrVal ? bstrVal : L"", v.bstrVal ? v.bstrVal : L"",
                            SysStringLen(bstrVal)) == 0;
    default:
        return byref == v.byref;
    }
}

void COleVariant::ChangeType(VARTYPE vartype, LPVARIANT pSrc) {
    CheckOle(VariantChangeType(this, pSrc ? pSrc : this, 0, vartype));
}

void COleVariant::Attach(VARIANT& varSrc) {
    Clear();
    static_cast<VARIANT&>(*this) = varSrc;
    VariantInit(&varSrc);
}

VARIANT COleVariant::Detach() {
    VARIANT v = *this;
    VariantInit(this);
    return v;
}

std::string COleVariant::ToUtf8() const {
    return vt == VT_BSTR ? win::BstrToUtf8(bstrVal) : std::string();
}

// ---------------------------------------------------------------------------------------------
// COleDispatchDriver

COleDispatchDriver::COleDispatchDriver(const COleDispatchDriver& dispatchSrc)
    : m_lpDispatch(dispatchSrc.m_lpDispatch), m_bAutoRelease(TRUE) {
    if (m_lpDispatch)
        m_lpDispatch->AddRef();
}

COleDispatchDriver& COleDispatchDriver::operator=(const COleDispatchDriver& dispatchSrc) {
    if (this != &dispatchSrc) {
        if (dispatchSrc.m_lpDispatch)
            dispatchSrc.m_lpDispatch->AddRef();
        ReleaseDispatch();
        m_lpDispatch = dispatchSrc.m_lpDispatch;
        m_bAutoRelease = TRUE;
    }
    return *this;
}

BOOL COleDispatchDriver::CreateDispatch(REFCLSID clsid, COleException* pError) {
    IUnknown* unknown = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown,
                                  reinterpret_cast<void**>(&unknown));
    if (SUCCEEDED(hr))
        hr = OleRun(unknown);
    IDispatch* dispatch = nullptr;
    if (SUCCEEDED(hr))
        hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
    if (unknown)
        unknown->Release();
    if (FAILED(hr)) {
        if (dispatch)
            dispatch->Release();
        if (pError)
            pError->m_sc = hr;
        return FALSE;
    }
    AttachDispatch(dispatch, TRUE);
    return TRUE;
}

BOOL COleDispatchDriver::CreateDispatch(const char* lpszProgID, COleException* pError) {
    CLSID clsid;
    HRESULT hr =
        lpszProgID ? CLSIDFromString(win::Utf8ToWide(lpszProgID).c_str(), &clsid) : E_INVALIDARG;
    if (FAILED(hr)) {
        if (pError)
            pError->m_sc = hr;
        return FALSE;
    }
    return CreateDispatch(clsid, pError);
}

void COleDispatchDriver::AttachDispatch(LPDISPATCH lpDispatch, BOOL bAutoRelease) {
    ReleaseDispatch();
    m_lpDispatch = lpDispatch;
    m_bAutoRelease = bAutoRelease;
}

LPDISPATCH COleDispatchDriver::DetachDispatch() {
    LPDISPATCH p = m_lpDispatch;
    m_lpDispatch = nullptr;
    return p;
}

void COleDispatchDriver::ReleaseDispatch() {
    if (m_lpDispatch && m_bAutoRelease)
        m_lpDispatch->Release();
    m_lpDispatch = nullptr;
}

namespace {

std::vector<VARTYPE> TypesOf(const BYTE* info) {
    std::vector<VARTYPE> types;
    for (; info && *info; ++info) {
        BYTE b = *info;
        types.push_back((b & 0x40) ? static_cast<VARTYPE>((b & ~0x40) | VT_BYREF) : b);
    }
    return types;
}

// The result into what the caller gave for vtRet; throws COleException when it does not
// convert.
void StoreResult(VARIANT& result, VARTYPE vtRet, void* pvRet) {
    if (vtRet == VT_EMPTY || !pvRet)
        return;
    if (vtRet == VT_VARIANT) {
        auto* target = static_cast<VARIANT*>(pvRet);
        VariantClear(target);
        *target = result;
        VariantInit(&result);
        return;
    }
    CheckOle(VariantChangeType(&result, &result, 0, vtRet));
    switch (vtRet) {
    case VT_I2:
        *static_cast<short*>(pvRet) = result.iVal;
        break;
    case VT_I4:
        *static_cast<long*>(pvRet) = result.lVal;
        break;
    case VT_R4:
        *static_cast<float*>(pvRet) = result.fltVal;
        break;
    case VT_R8:
        *static_cast<double*>(pvRet) = result.dblVal;
        break;
    case VT_BOOL:
        *static_cast<BOOL*>(pvRet) = result.boolVal != VARIANT_FALSE;
        break;
    case VT_ERROR:
        *static_cast<SCODE*>(pvRet) = result.scode;
        break;
    case VT_BSTR:
        *static_cast<std::string*>(pvRet) = win::BstrToUtf8(result.bstrVal);
        break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
        *static_cast<IUnknown**>(pvRet) = result.punkVal;
        VariantInit(&result);
        break;
    default:
        AfxThrowOleException(DISP_E_BADVARTYPE);
    }
}

} // namespace

void COleDispatchDriver::InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                       const BYTE* pbParamInfo, va_list argList) {
    if (!m_lpDispatch)
        AfxThrowOleException(E_POINTER);
    std::vector<VARIANT> args;
    va_list ap;
    va_copy(ap, argList);
    HRESULT hr =
        win::com::CollectArguments(TypesOf(pbParamInfo), &ap, win::com::ArgStyle::Framework, args);
    va_end(ap);
    CheckOle(hr);
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO excep{};
    UINT argErr = 0;
    hr = win::com::InvokeWith(m_lpDispatch, dwDispID, wFlags, args,
                              vtRet != VT_EMPTY ? &result : nullptr, &excep, &argErr);
    win::com::FreeArguments(args);
    if (hr == DISP_E_EXCEPTION) {
        if (excep.pfnDeferredFillIn)
            excep.pfnDeferredFillIn(&excep);
        auto* e = new COleDispatchException(win::BstrToUtf8(excep.bstrDescription).c_str(),
                                            excep.dwHelpContext, excep.wCode);
        e->m_scError = excep.wCode ? 0 : excep.scode;
        e->m_strSource = win::BstrToUtf8(excep.bstrSource);
        e->m_strHelpFile = win::BstrToUtf8(excep.bstrHelpFile);
        SysFreeString(excep.bstrSource);
        SysFreeString(excep.bstrDescription);
        SysFreeString(excep.bstrHelpFile);
        VariantClear(&result);
        throw e;
    }
    if (FAILED(hr)) {
        VariantClear(&result);
        AfxThrowOleException(hr);
    }
    try {
        StoreResult(result, vtRet, pvRet);
    } catch (...) {
        VariantClear(&result);
        throw;
    }
    VariantClear(&result);
}

void COleDispatchDriver::InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                      const BYTE* pbParamInfo, ...) {
    va_list ap;
    va_start(ap, pbParamInfo);
    try {
        InvokeHelperV(dwDispID, wFlags, vtRet, pvRet, pbParamInfo, ap);
    } catch (...) {
        va_end(ap);
        throw;
    }
    va_end(ap);
}

DISPID COleDispatchDriver::GetDispID(const char* lpszName) {
    if (!m_lpDispatch || !lpszName)
        AfxThrowOleException(E_POINTER);
    std::wstring name = win::Utf8ToWide(lpszName);
    LPOLESTR names = name.data();
    DISPID id = DISPID_UNKNOWN;
    CheckOle(m_lpDispatch->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id));
    return id;
}

void COleDispatchDriver::InvokeByName(const char* lpszName, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                      const BYTE* pbParamInfo, ...) {
    DISPID id = GetDispID(lpszName);
    va_list ap;
    va_start(ap, pbParamInfo);
    try {
        InvokeHelperV(id, wFlags, vtRet, pvRet, pbParamInfo, ap);
    } catch (...) {
        va_end(ap);
        throw;
    }
    va_end(ap);
}

void COleDispatchDriver::GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp) {
    InvokeHelper(dwDispID, DISPATCH_PROPERTYGET, vtProp, pvProp, nullptr);
}

void COleDispatchDriver::SetProperty(DISPID dwDispID, VARTYPE vtProp, ...) {
    BYTE info[2] = {static_cast<BYTE>((vtProp & VT_BYREF) ? ((vtProp & 0xFF) | 0x40) : vtProp), 0};
    va_list ap;
    va_start(ap, vtProp);
    WORD flags = (vtProp == VT_DISPATCH) ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
    try {
        InvokeHelperV(dwDispID, flags, VT_EMPTY, nullptr, info, ap);
    } catch (...) {
        va_end(ap);
        throw;
    }
    va_end(ap);
}
