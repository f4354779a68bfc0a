// The compiler's COM support classes: _com_error, _bstr_t, _variant_t and the dispatch helpers
// that generated wrappers call, all throwing _com_error on failure.
//
//     IDispatch* app = ...;
//     _variant_t docs;
//     _com_dispatch_propget(app, documentsId, VT_VARIANT, &docs);
//     try {
//         _com_dispatch_method(doc, saveAsId, DISPATCH_METHOD, VT_EMPTY, nullptr,
//                              L"\x0008\x000c", (BSTR)name, &format);   // BSTR, const VARIANT*
//     } catch (const _com_error& e) {
//         std::string why = (const char*)e.Description();
//     }
#pragma once

#include "win/com.h"

#include <memory>
#include <string>

class _bstr_t;

class _com_error {
public:
    // perrinfo, when given, is taken over (or AddRef'd with fAddRef).
    explicit _com_error(HRESULT hr, IErrorInfo* perrinfo = nullptr, bool fAddRef = false);
    _com_error(const _com_error& that);
    _com_error& operator=(const _com_error& that);
    virtual ~_com_error();

    HRESULT Error() const { return m_hresult; }
    WORD WCode() const { return HRESULTToWCode(m_hresult); }
    // AddRef'd; null when there is none.
    IErrorInfo* ErrorInfo() const;
    // From the error object; empty without one.
    _bstr_t Description() const;
    _bstr_t Source() const;
    _bstr_t HelpFile() const;
    DWORD HelpContext() const;
    // The system's text for the result ("Unspecified error", "IDispatch error #N",
    // "Unknown error 0x8XXXXXXX"), UTF-8.
    const char* ErrorMessage() const;

    static HRESULT WCodeToHRESULT(WORD wCode) {
        return wCode >= 0xFE00 ? static_cast<HRESULT>(0x8004FE00u)
                               : static_cast<HRESULT>(0x80040200u + wCode);
    }
    static WORD HRESULTToWCode(HRESULT hr) {
        auto u = static_cast<DWORD>(hr);
        return u >= 0x80040200u && u <= 0x8004FFFFu ? static_cast<WORD>(u - 0x80040200u) : 0;
    }

private:
    HRESULT m_hresult;
    IErrorInfo* m_perrinfo;
    mutable std::string m_message;
};

[[noreturn]] void _com_issue_error(HRESULT hr);
// With the thread's error object (GetErrorInfo) when there is one.
[[noreturn]] void _com_issue_errorex(HRESULT hr, IUnknown* punk, REFIID riid);

// A shared, reference-counted BSTR; narrow text is UTF-8.
class _bstr_t {
public:
    _bstr_t() = default;
    _bstr_t(const char* s);
    _bstr_t(const wchar_t* s);
    _bstr_t(const std::string& s);
    _bstr_t(const std::wstring& s);
    // Copies bstr, or takes it over when fCopy is false.
    _bstr_t(BSTR bstr, bool fCopy);
    _bstr_t(const _bstr_t&) = default;
    _bstr_t& operator=(const _bstr_t&) = default;
    _bstr_t& operator=(const char* s);
    _bstr_t& operator=(const wchar_t* s);

    _bstr_t& operator+=(const _bstr_t& s);
    _bstr_t operator+(const _bstr_t& s) const;

    // The text (null for a null string, as the BSTR is); the narrow form is made on first use.
    operator const wchar_t*() const { return m_data ? m_data->wide : nullptr; }
    operator wchar_t*() const { return m_data ? m_data->wide : nullptr; }
    operator const char*() const;
    bool operator!() const { return !m_data || !m_data->wide; }
    bool operator==(const _bstr_t& s) const { return Compare(s) == 0; }
    bool operator!=(const _bstr_t& s) const { return Compare(s) != 0; }
    bool operator<(const _bstr_t& s) const { return Compare(s) < 0; }

    unsigned int length() const { return m_data ? SysStringLen(m_data->wide) : 0; }
    // A new BSTR (fCopy) or the one held (owned by this object still).
    BSTR copy(bool fCopy = true) const;
    void Assign(BSTR s);
    void Attach(BSTR s);
    BSTR Detach();
    // The BSTR held, unshared first, for an [out] argument: GetAddress frees what was there.
    BSTR& GetBSTR();
    BSTR* GetAddress();
    std::string utf8() const;

private:
    struct Data {
        BSTR wide = nullptr;
        std::string narrow;
        bool narrowMade = false;
        ~Data() { SysFreeString(wide); }
    };
    int Compare(const _bstr_t& s) const;
    void Own(BSTR b);
    std::shared_ptr<Data> m_data;
};

// A VARIANT that frees what it holds; conversions throw _com_error.
class _variant_t : public tagVARIANT {
public:
    _variant_t() { VariantInit(this); }
    _variant_t(const VARIANT& v);
    _variant_t(const VARIANT* v);
    _variant_t(const _variant_t& v);
    _variant_t(VARIANT& v, bool fCopy); // takes v over (leaving it empty) when fCopy is false
    _variant_t(short s, VARTYPE vt = VT_I2);
    // VT_I4, VT_ERROR or VT_BOOL.
    _variant_t(long l, VARTYPE vt = VT_I4);
    _variant_t(int i, VARTYPE vt = VT_I4);
    _variant_t(double d, VARTYPE vt = VT_R8);
    _variant_t(bool b);
    _variant_t(const _bstr_t& s);
    _variant_t(const char* s);
    _variant_t(const wchar_t* s);
    _variant_t(IDispatch* p, bool fAddRef = true);
    _variant_t(IUnknown* p, bool fAddRef = true);
    ~_variant_t() { VariantClear(this); }

    _variant_t& operator=(const _variant_t& v);
    _variant_t& operator=(const VARIANT& v);

    operator short() const;
    operator long() const;
    operator int() const { return static_cast<int>(static_cast<long>(*this)); }
    operator double() const;
    operator bool() const;
    operator _bstr_t() const;
    // AddRef'd for the caller.
    operator IDispatch*() const;
    operator IUnknown*() const;

    void Clear();
    void ChangeType(VARTYPE vt, const _variant_t* src = nullptr);
    void Attach(VARIANT& v);
    VARIANT Detach();
    VARIANT& GetVARIANT() { return *this; }
    VARIANT* GetAddress();

private:
    _variant_t Converted(VARTYPE vt) const;
};

// VT_ERROR DISP_E_PARAMNOTFOUND: an optional argument left out.
extern const _variant_t vtMissing;

// Invokes by DISPID, arguments described by pwParamInfo (one VARTYPE per character: VT_I2
// short, VT_I4 long, VT_R8 double, VT_BOOL VARIANT_BOOL, VT_BSTR BSTR, VT_DISPATCH IDispatch*,
// VT_UNKNOWN IUnknown*, VT_ERROR SCODE, VT_VARIANT const VARIANT*, VT_BYREF|x a pointer to x).
// The result is converted to vtRet into pvRet: VT_EMPTY none, VT_I2 short*, VT_I4 long*,
// VT_R8 double*, VT_BOOL VARIANT_BOOL*, VT_BSTR BSTR* (the caller frees it), VT_DISPATCH
// IDispatch** and VT_UNKNOWN IUnknown** (the caller releases them), VT_VARIANT VARIANT*.
// A failure throws _com_error: after DISP_E_EXCEPTION its result is the exception's scode (or
// its wCode as a result) and its error object carries the source and the description.
void _com_dispatch_method(IDispatch* pDispatch, DISPID dwDispID, WORD wFlags, VARTYPE vtRet,
                          void* pvRet, const wchar_t* pwParamInfo, ...);
void _com_dispatch_propget(IDispatch* pDispatch, DISPID dwDispID, VARTYPE vtProp, void* pvProp);
// The value as the one argument of type vtProp.
void _com_dispatch_propput(IDispatch* pDispatch, DISPID dwDispID, VARTYPE vtProp, ...);
// The same without throwing: the result (and with DISP_E_EXCEPTION the thread's error object).
HRESULT _com_dispatch_raw_method(IDispatch* pDispatch, DISPID dwDispID, WORD wFlags, VARTYPE vtRet,
                                 void* pvRet, const wchar_t* pwParamInfo, ...);

// The DISPID of a member by name; throws _com_error (DISP_E_UNKNOWNNAME, ...) when it has none.
DISPID _com_dispatch_id(IDispatch* pDispatch, const wchar_t* name);
