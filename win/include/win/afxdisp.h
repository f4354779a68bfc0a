// The dialog framework's automation client: its exceptions, COleVariant and
// COleDispatchDriver.
//
// As everywhere in the framework, errors are thrown as heap pointers:
//
//     AfxOleInit();
//     COleDispatchDriver app;
//     COleException error;
//     if (!app.CreateDispatch("Word.Application", &error)) ... error.m_sc ...
//     static const BYTE params[] = VTS_BSTR VTS_I4;
//     try {
//         app.InvokeHelper(id, DISPATCH_METHOD, VT_EMPTY, nullptr, params, "C:\\x.rtf", 6L);
//     } catch (COleDispatchException* e) {
//         ... e->m_strDescription ...; e->Delete();
//     } catch (COleException* e) {
//         ... e->m_sc ...; e->Delete();
//     }
//
// Narrow strings are UTF-8: VTS_BSTR arguments are const char*, VT_BSTR results std::string.
#pragma once

#include "win/com.h"
#include "win/stdfile.h"

#include <cstdarg>
#include <string>

// Parameter descriptions: one byte per argument, 0x40 marking a pointer (VT_BYREF).
#define VTS_I2 "\x02"
#define VTS_I4 "\x03"
#define VTS_R4 "\x04"
#define VTS_R8 "\x05"
#define VTS_BSTR "\x08"
#define VTS_DISPATCH "\x09"
#define VTS_SCODE "\x0A"
#define VTS_BOOL "\x0B"
#define VTS_VARIANT "\x0C"
#define VTS_UNKNOWN "\x0D"
#define VTS_PI2 "\x42"
#define VTS_PI4 "\x43"
#define VTS_PBSTR "\x48"
#define VTS_PDISPATCH "\x49"
#define VTS_PBOOL "\x4B"
#define VTS_PVARIANT "\x4C"
#define VTS_NONE ""

class COleException : public CException {
public:
    explicit COleException(SCODE sc = S_OK) : m_sc(sc) {}
    // The status of any exception: m_sc of a COleException, the error of a
    // COleDispatchException, E_OUTOFMEMORY for memory, else E_UNEXPECTED.
    static SCODE Process(const CException* pAnyException);
    // "<system text> (0x8XXXXXXX)".
    BOOL GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) override;

    SCODE m_sc;
};

class COleDispatchException : public CException {
public:
    COleDispatchException(const char* lpszDescription, UINT nHelpID, WORD wCode);
    BOOL GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) override;

    WORD m_wCode;
    SCODE m_scError; // the exception's scode when it has no wCode
    DWORD m_dwHelpContext;
    std::string m_strHelpFile;
    std::string m_strDescription;
    std::string m_strSource;
};

// Initialises the object runtime on the calling thread (OleInitialize), as an application does
// once at its start; FALSE when that fails.
BOOL AfxOleInit();

[[noreturn]] void AfxThrowOleException(SCODE sc);
[[noreturn]] void AfxThrowOleDispatchException(WORD wCode, const char* lpszDescription,
                                               UINT nHelpID = 0);

// A VARIANT that frees what it holds.
class COleVariant : public tagVARIANT {
public:
    COleVariant() { VariantInit(this); }
    COleVariant(const VARIANT& v);
    COleVariant(const COleVariant& v);
    COleVariant(const VARIANT* v);
    // UTF-8 text as a BSTR (vtSrc must be VT_BSTR).
    COleVariant(const char* lpszSrc, VARTYPE vtSrc = VT_BSTR);
    COleVariant(const std::string& strSrc);
    COleVariant(short nSrc, VARTYPE vtSrc = VT_I2);
    // VT_I4, VT_ERROR (COleVariant((long)DISP_E_PARAMNOTFOUND, VT_ERROR) is a missing
    // argument) or VT_BOOL.
    COleVariant(long lSrc, VARTYPE vtSrc = VT_I4);
    COleVariant(int nSrc, VARTYPE vtSrc = VT_I4);
    COleVariant(double dblSrc);
    ~COleVariant() { VariantClear(this); }

    COleVariant& operator=(const COleVariant& v);
    COleVariant& operator=(const VARIANT& v);
    COleVariant& operator=(const char* lpszSrc);
    COleVariant& operator=(long lSrc);
    bool operator==(const VARIANT& v) const;

    operator LPVARIANT() { return this; }
    operator LPCVARIANT() const { return this; }

    void Clear() { VariantClear(this); }
    // Throws COleException when the value does not convert.
    void ChangeType(VARTYPE vartype, LPVARIANT pSrc = nullptr);
    void Attach(VARIANT& varSrc);
    VARIANT Detach();
    // The text of a VT_BSTR (empty for other types), UTF-8.
    std::string ToUtf8() const;
};

class COleDispatchDriver {
public:
    COleDispatchDriver() = default;
    explicit COleDispatchDriver(LPDISPATCH lpDispatch, BOOL bAutoRelease = TRUE)
        : m_lpDispatch(lpDispatch), m_bAutoRelease(bAutoRelease) {}
    COleDispatchDriver(const COleDispatchDriver& dispatchSrc);
    COleDispatchDriver& operator=(const COleDispatchDriver& dispatchSrc);
    ~COleDispatchDriver() { ReleaseDispatch(); }

    // Creates the object (CoCreateInstance with CLSCTX_ALL, OleRun, IDispatch).  FALSE on
    // failure, with the status in pError when given.  The ProgID may also be a braced CLSID.
    BOOL CreateDispatch(REFCLSID clsid, COleException* pError = nullptr);
    BOOL CreateDispatch(const char* lpszProgID, COleException* pError = nullptr);

    // Takes the pointer (releasing the one held); with bAutoRelease it is released later.
    void AttachDispatch(LPDISPATCH lpDispatch, BOOL bAutoRelease = TRUE);
    // Gives the pointer up without releasing it.
    LPDISPATCH DetachDispatch();
    void ReleaseDispatch();

    // Invokes by DISPID.  pbParamInfo: the VTS_ string of the arguments that follow (null for
    // none): VTS_I2 short, VTS_I4 long, VTS_R4/VTS_R8 double, VTS_BOOL BOOL, VTS_SCODE SCODE,
    // VTS_BSTR const char* (UTF-8), VTS_DISPATCH LPDISPATCH, VTS_UNKNOWN LPUNKNOWN,
    // VTS_VARIANT const VARIANT*, VTS_P* a pointer to the type.  The result is converted to
    // vtRet into pvRet: VT_EMPTY none, VT_I2 short*, VT_I4 long*, VT_R8 double*, VT_BOOL BOOL*,
    // VT_BSTR std::string*, VT_DISPATCH LPDISPATCH* (the caller releases it), VT_VARIANT
    // VARIANT*.  DISP_E_EXCEPTION throws COleDispatchException; any other failure
    // COleException with its status.
    void InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                      const BYTE* pbParamInfo, ...);
    void InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                       const BYTE* pbParamInfo, va_list argList);
    // The same with the member named (GetIDsOfNames; COleException on an unknown name).
    void InvokeByName(const char* lpszName, WORD wFlags, VARTYPE vtRet, void* pvRet,
                      const BYTE* pbParamInfo, ...);
    DISPID GetDispID(const char* lpszName);

    void GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp);
    void SetProperty(DISPID dwDispID, VARTYPE vtProp, ...);

    operator LPDISPATCH() { return m_lpDispatch; }

    LPDISPATCH m_lpDispatch = nullptr;
    BOOL m_bAutoRelease = TRUE;
};
