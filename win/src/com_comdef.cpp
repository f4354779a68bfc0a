// _com_error, _bstr_t, _variant_t and the compiler's dispatch helpers.
#include "win/comdef.h"

#include "com_invoke.h"

#include <cstdio>
#include <cwchar>
#include <new>

// ---------------------------------------------------------------------------------------------
// _com_error

_com_error::_com_error(HRESULT hr, IErrorInfo* perrinfo, bool fAddRef)
    : m_hresult(hr), m_perrinfo(perrinfo) {
    if (m_perrinfo && fAddRef)
        m_perrinfo->AddRef();
}

_com_error::_com_error(const _com_error& that)
    : m_hresult(that.m_hresult), m_perrinfo(that.m_perrinfo) {
    if (m_perrinfo)
        m_perrinfo->AddRef();
}

_com_error& _com_error::operator=(const _com_error& that) {
    if (this != &that) {
        if (that.m_perrinfo)
            that.m_perrinfo->AddRef();
        if (m_perrinfo)
            m_perrinfo->Release();
        m_hresult = that.m_hresult;
        m_perrinfo = that.m_perrinfo;
        m_message.clear();
    }
    return *this;
}

_com_error::~_com_error() {
    if (m_perrinfo)
        m_perrinfo->Release();
}

IErrorInfo* _com_error::ErrorInfo() const {
    if (m_perrinfo)
        m_perrinfo->AddRef();
    return m_perrinfo;
}

namespace {

_bstr_t Field(IErrorInfo* info, HRESULT (IErrorInfo::*get)(BSTR*)) {
    BSTR text = nullptr;
    if (!info || FAILED((info->*get)(&text)))
        return _bstr_t();
    return _bstr_t(text, false);
}

} // namespace

_bstr_t _com_error::Description() const {
    return Field(m_perrinfo, &IErrorInfo::GetDescription);
}

_bstr_t _com_error::Source() const {
    return Field(m_perrinfo, &IErrorInfo::GetSource);
}

_bstr_t _com_error::HelpFile() const {
    return Field(m_perrinfo, &IErrorInfo::GetHelpFile);
}

DWORD _com_error::HelpContext() const {
    DWORD context = 0;
    if (m_perrinfo)
        m_perrinfo->GetHelpContext(&context);
    return context;
}

const char* _com_error::ErrorMessage() const {
    if (m_message.empty()) {
        const char* known = win::com::ResultText(m_hresult);
        char text[64];
        if (*known)
            m_message = known;
        else if (WORD code = WCode())
            std::snprintf(text, sizeof text, "IDispatch error #%u", code), m_message = text;
        else
            std::snprintf(text, sizeof text, "Unknown error 0x%08X",
                          static_cast<unsigned>(m_hresult)),
                m_message = text;
    }
    return m_message.c_str();
}

void _com_issue_error(HRESULT hr) {
    throw _com_error(hr);
}

void _com_issue_errorex(HRESULT hr, IUnknown*, REFIID) {
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK)
        info = nullptr;
    throw _com_error(hr, info);
}

// ---------------------------------------------------------------------------------------------
// _bstr_t

void _bstr_t::Own(BSTR b) {
    m_data = std::make_shared<Data>();
    m_data->wide = b;
}

_bstr_t::_bstr_t(const char* s) {
    if (s) {
        Own(win::SysAllocStringUtf8(s));
        if (!m_data->wide)
            _com_issue_error(E_OUTOFMEMORY);
    }
}

_bstr_t::_bstr_t(const wchar_t* s) {
    if (s) {
        Own(SysAllocString(s));
        if (!m_data->wide)
            _com_issue_error(E_OUTOFMEMORY);
    }
}

_bstr_t::_bstr_t(const std::string& s) {
    Own(win::SysAllocStringUtf8(s));
    if (!m_data->wide)
        _com_issue_error(E_OUTOFMEMORY);
}

_bstr_t::_bstr_t(const std::wstring& s) {
    Own(SysAllocStringLen(s.data(), static_cast<UINT>(s.size())));
    if (!m_data->wide)
        _com_issue_error(E_OUTOFMEMORY);
}

_bstr_t::_bstr_t(BSTR bstr, bool fCopy) {
    if (!bstr)
        return;
    Own(fCopy ? SysAllocStringLen(bstr, SysStringLen(bstr)) : bstr);
    if (!m_data->wide)
        _com_issue_error(E_OUTOFMEMORY);
}

_bstr_t& _bstr_t::operator=(const char* s) {
    *this = _bstr_t(s);
    return *this;
}

_bstr_t& _bstr_t::operator=(const wchar_t* s) {
    *this = _bstr_t(s);
    return *this;
}

_bstr_t& _bstr_t::operator+=(const _bstr_t& s) {
    *this = *this + s;
    return *this;
}

_bstr_t _bstr_t::operator+(const _bstr_t& s) const {
    if (!m_data)
        return s;
    if (!s.m_data)
        return *this;
    std::wstring joined(m_data->wide ? m_data->wide : L"", length());
    joined.append(s.m_data->wide ? s.m_data->wide : L"", s.length());
    return _bstr_t(joined);
}

_bstr_t::operator const char*() const {
    if (!m_data || !m_data->wide)
        return nullptr;
    if (!m_data->narrowMade) {
        m_data->narrow = win::BstrToUtf8(m_data->wide);
        m_data->narrowMade = true;
    }
    return m_data->narrow.c_str();
}

std::string _bstr_t::utf8() const {
    return m_data ? win::BstrToUtf8(m_data->wide) : std::string();
}

int _bstr_t::Compare(const _bstr_t& s) const {
    std::wstring_view a(m_data && m_data->wide ? m_data->wide : L"", length());
    std::wstring_view b(s.m_data && s.m_data->wide ? s.m_data->wide : L"", s.length());
    return a.compare(b);
}

BSTR _bstr_t::copy(bool fCopy) const {
    if (!m_data || !m_data->wide)
        return nullptr;
    if (!fCopy)
        return m_data->wide;
    BSTR b = SysAllocStringLen(m_data->wide, length());
    if (!b)
        _com_issue_error(E_OUTOFMEMORY);
    return b;
}

void _bstr_t::Assign(BSTR s) {
    *this = _bstr_t(s, true);
}

void _bstr_t::Attach(BSTR s) {
    *this = _bstr_t(s, false);
}

BSTR _bstr_t::Detach() {
    if (!m_data)
        return nullptr;
    BSTR b;
    if (m_data.use_count() == 1) {
        b = m_data->wide;
        m_data->wide = nullptr;
    } else {
        b = copy(true);
    }
    m_data.reset();
    return b;
}

BSTR& _bstr_t::GetBSTR() {
    if (!m_data)
        Own(nullptr);
    else if (m_data.use_count() > 1)
        Own(SysAllocStringLen(m_data->wide, length()));
    m_data->narrowMade = false;
    return m_data->wide;
}

BSTR* _bstr_t::GetAddress() {
    Own(nullptr);
    return &m_data->wide;
}

// ---------------------------------------------------------------------------------------------
// _variant_t

namespace {

void Check(HRESULT hr) {
    if (FAILED(hr))
        _com_issue_error(hr);
}

} // namespace

_variant_t::_variant_t(const VARIANT& v) {
    VariantInit(this);
    Check(VariantCopy(this, &v));
}

_variant_t::_variant_t(const VARIANT* v) {
    VariantInit(this);
    if (!v)
        _com_issue_error(E_POINTER);
    Check(VariantCopy(this, v));
}

_variant_t::_variant_t(const _variant_t& v) : tagVARIANT() {
    VariantInit(this);
    Check(VariantCopy(this, &v));
}

_variant_t::_variant_t(VARIANT& v, bool fCopy) {
    VariantInit(this);
    if (fCopy) {
        Check(VariantCopy(this, &v));
    } else {
        static_cast<VARIANT&>(*this) = v;
        VariantInit(&v);
    }
}

_variant_t::_variant_t(short s, VARTYPE vt) {
    VariantInit(this);
    if (vt == VT_BOOL) {
        this->vt = VT_BOOL;
        boolVal = s ? VARIANT_TRUE : VARIANT_FALSE;
    } else if (vt == VT_I2) {
        this->vt = VT_I2;
        iVal = s;
    } else {
        _com_issue_error(E_INVALIDARG);
    }
}

_variant_t::_variant_t(long l, VARTYPE vt) {
    VariantInit(this);
    switch (vt) {
    case VT_I4:
        lVal = static_cast<LONG>(l);
        break;
    case VT_ERROR:
        scode = static_cast<SCODE>(l);
        break;
    case VT_BOOL:
        boolVal = l ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    default:
        _com_issue_error(E_INVALIDARG);
    }
    this->vt = vt;
}

_variant_t::_variant_t(int i, VARTYPE vt) : _variant_t(static_cast<long>(i), vt) {}

_variant_t::_variant_t(double d, VARTYPE vt) {
    VariantInit(this);
    if (vt != VT_R8 && vt != VT_R4)
        _com_issue_error(E_INVALIDARG);
    this->vt = vt;
    if (vt == VT_R8)
        dblVal = d;
    else
        fltVal = static_cast<float>(d);
}

_variant_t::_variant_t(bool b) {
    VariantInit(this);
    vt = VT_BOOL;
    boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
}

_variant_t::_variant_t(const _bstr_t& s) {
    VariantInit(this);
    vt = VT_BSTR;
    bstrVal = s.copy();
}

_variant_t::_variant_t(const char* s) : _variant_t(_bstr_t(s)) {}

_variant_t::_variant_t(const wchar_t* s) : _variant_t(_bstr_t(s)) {}

_variant_t::_variant_t(IDispatch* p, bool fAddRef) {
    VariantInit(this);
    vt = VT_DISPATCH;
    pdispVal = p;
    if (p && fAddRef)
        p->AddRef();
}

_variant_t::_variant_t(IUnknown* p, bool fAddRef) {
    VariantInit(this);
    vt = VT_UNKNOWN;
    punkVal = p;
    if (p && fAddRef)
        p->AddRef();
}

_variant_t& _variant_t::operator=(const _variant_t& v) {
    Check(VariantCopy(this, &v));
    return *this;
}

_variant_t& _variant_t::operator=(const VARIANT& v) {
    Check(VariantCopy(this, &v));
    return *this;
}

_variant_t _variant_t::Converted(VARTYPE type) const {
    _variant_t out;
    Check(VariantChangeType(&out, this, 0, type));
    return out;
}

_variant_t::operator short() const {
    return vt == VT_I2 ? iVal : Converted(VT_I2).iVal;
}

_variant_t::operator long() const {
    return vt == VT_I4 ? lVal : Converted(VT_I4).lVal;
}

_variant_t::operator double() const {
    return vt == VT_R8 ? dblVal : Converted(VT_R8).dblVal;
}

_variant_t::operator bool() const {
    return (vt == VT_BOOL ? boolVal : Converted(VT_BOOL).boolVal) != VARIANT_FALSE;
}

_variant_t::operator _bstr_t() const {
    if (vt == VT_BSTR)
        return _bstr_t(bstrVal, true);
    _variant_t text = Converted(VT_BSTR);
    return _bstr_t(text.bstrVal, true);
}

_variant_t::operator IDispatch*() const {
    _variant_t d = Converted(VT_DISPATCH);
    IDispatch* p = d.pdispVal;
    if (p)
        p->AddRef();
    return p;
}

_variant_t::operator IUnknown*() const {
    _variant_t u = Converted(VT_UNKNOWN);
    IUnknown* p = u.punkVal;
    if (p)
        p->AddRef();
    return p;
}

void _variant_t::Clear() {
    Check(VariantClear(this));
}

void _variant_t::ChangeType(VARTYPE type, const _variant_t* src) {
    Check(VariantChangeType(this, src ? src : this, 0, type));
}

void _variant_t::Attach(VARIANT& v) {
    Clear();
    static_cast<VARIANT&>(*this) = v;
    VariantInit(&v);
}

VARIANT _variant_t::Detach() {
    VARIANT v = *this;
    VariantInit(this);
    return v;
}

VARIANT* _variant_t::GetAddress() {
    Clear();
    return this;
}

const _variant_t vtMissing(DISP_E_PARAMNOTFOUND, VT_ERROR);

// ---------------------------------------------------------------------------------------------
// Dispatch helpers

namespace {

std::vector<VARTYPE> TypesOf(const wchar_t* info) {
    std::vector<VARTYPE> types;
    for (; info && *info; ++info)
        types.push_back(static_cast<VARTYPE>(*info));
    return types;
}

HRESULT StoreResult(VARIANT& result, VARTYPE vtRet, void* pvRet) {
    if (vtRet == VT_EMPTY || !pvRet)
        return S_OK;
    if (vtRet == VT_VARIANT) {
        auto* target = static_cast<VARIANT*>(pvRet);
        VariantClear(target);
        *target = result;
        VariantInit(&result);
        return S_OK;
    }
    if (HRESULT hr = VariantChangeType(&result, &result, 0, vtRet); FAILED(hr))
        return hr;
    switch (vtRet) {
    case VT_I2:
        *static_cast<short*>(pvRet) = result.iVal;
        break;
    case VT_I4:
        *static_cast<long*>(pvRet) = result.lVal;
        break;
    case VT_R8:
        *static_cast<double*>(pvRet) = result.dblVal;
        break;
    case VT_R4:
        *static_cast<float*>(pvRet) = result.fltVal;
        break;
    case VT_BOOL:
        *static_cast<VARIANT_BOOL*>(pvRet) = result.boolVal;
        break;
    case VT_ERROR:
        *static_cast<SCODE*>(pvRet) = result.scode;
        break;
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
        // Handed over: the caller frees or releases it.
        *static_cast<void**>(pvRet) = result.byref;
        VariantInit(&result);
        break;
    default:
        return DISP_E_BADVARTYPE;
    }
    return S_OK;
}

IErrorInfo* ErrorObjectOf(const EXCEPINFO& excep) {
    ICreateErrorInfo* create = nullptr;
    if (FAILED(CreateErrorInfo(&create)))
        return nullptr;
    create->SetSource(excep.bstrSource);
    create->SetDescription(excep.bstrDescription);
    create->SetHelpFile(excep.bstrHelpFile);
    create->SetHelpContext(excep.dwHelpContext);
    IErrorInfo* info = nullptr;
    if (FAILED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info))))
        info = nullptr;
    create->Release();
    return info;
}

HRESULT Dispatch(IDispatch* dispatch, DISPID id, WORD flags, VARTYPE vtRet, void* pvRet,
                 std::vector<VARIANT>& args, IErrorInfo** errorInfo) {
    *errorInfo = nullptr;
    if (!dispatch)
        return E_POINTER;
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO excep{};
    UINT argErr = 0;
    HRESULT hr = win::com::InvokeWith(dispatch, id, flags, args,
                                      vtRet != VT_EMPTY ? &result : nullptr, &excep, &argErr);
    if (hr == DISP_E_EXCEPTION) {
        if (excep.pfnDeferredFillIn)
            excep.pfnDeferredFillIn(&excep);
        *errorInfo = ErrorObjectOf(excep);
        hr = excep.scode ? excep.scode : _com_error::WCodeToHRESULT(excep.wCode);
        SysFreeString(excep.bstrSource);
        SysFreeString(excep.bstrDescription);
        SysFreeString(excep.bstrHelpFile);
    }
    if (SUCCEEDED(hr))
        hr = StoreResult(result, vtRet, pvRet);
    VariantClear(&result);
    return hr;
}

HRESULT DispatchV(IDispatch* dispatch, DISPID id, WORD flags, VARTYPE vtRet, void* pvRet,
                  const wchar_t* info, va_list* ap, IErrorInfo** errorInfo) {
    *errorInfo = nullptr;
    std::vector<VARIANT> args;
    HRESULT hr = win::com::CollectArguments(TypesOf(info), ap, win::com::ArgStyle::Compiler, args);
    if (FAILED(hr))
        return hr;
    hr = Dispatch(dispatch, id, flags, vtRet, pvRet, args, errorInfo);
    win::com::FreeArguments(args);
    return hr;
}

} // namespace

void _com_dispatch_method(IDispatch* pDispatch, DISPID dwDispID, WORD wFlags, VARTYPE vtRet,
                          void* pvRet, const wchar_t* pwParamInfo, ...) {
    va_list ap;
    va_start(ap, pwParamInfo);
    IErrorInfo* info = nullptr;
    HRESULT hr = DispatchV(pDispatch, dwDispID, wFlags, vtRet, pvRet, pwParamInfo, &ap, &info);
    va_end(ap);
    if (FAILED(hr))
        throw _com_error(hr, info);
    if (info)
        info->Release();
}

HRESULT _com_dispatch_raw_method(IDispatch* pDispatch, DISPID dwDispID, WORD wFlags, VARTYPE vtRet,
                                 void* pvRet, const wchar_t* pwParamInfo, ...) {
    va_list ap;
    va_start(ap, pwParamInfo);
    IErrorInfo* info = nullptr;
    HRESULT hr = DispatchV(pDispatch, dwDispID, wFlags, vtRet, pvRet, pwParamInfo, &ap, &info);
    va_end(ap);
    if (info) {
        SetErrorInfo(0, info);
        info->Release();
    }
    return hr;
}

void _com_dispatch_propget(IDispatch* pDispatch, DISPID dwDispID, VARTYPE vtProp, void* pvProp) {
    std::vector<VARIANT> none;
    IErrorInfo* info = nullptr;
    HRESULT hr = Dispatch(pDispatch, dwDispID, DISPATCH_PROPERTYGET, vtProp, pvProp, none, &info);
    if (FAILED(hr))
        throw _com_error(hr, info);
    if (info)
        info->Release();
}

void _com_dispatch_propput(IDispatch* pDispatch, DISPID dwDispID, VARTYPE vtProp, ...) {
    va_list ap;
    va_start(ap, vtProp);
    std::vector<VARIANT> args;
    HRESULT hr = win::com::CollectArguments({vtProp}, &ap, win::com::ArgStyle::Compiler, args);
    va_end(ap);
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(hr))
        hr = Dispatch(pDispatch, dwDispID, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, args, &info);
    win::com::FreeArguments(args);
    if (FAILED(hr))
        throw _com_error(hr, info);
    if (info)
        info->Release();
}

DISPID _com_dispatch_id(IDispatch* pDispatch, const wchar_t* name) {
    if (!pDispatch || !name)
        _com_issue_error(E_POINTER);
    DISPID id = DISPID_UNKNOWN;
    auto* names = const_cast<LPOLESTR>(name);
    HRESULT hr = pDispatch->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        _com_issue_error(hr);
    return id;
}
