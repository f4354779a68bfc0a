// The object model of the platform: GUIDs, IUnknown, IDispatch and class factories, BSTR and
// VARIANT, ProgIDs in the registry, activation of local servers in other processes and the
// running object table.
//
// Activation.  CoCreateInstance looks a class up in HKEY_CLASSES_ROOT\CLSID\{clsid}: its
// LocalServer32 default value is the command line of the server program (Windows paths).  When
// no process serves the class yet, that command line is started with " -Embedding" appended
// (through CreateProcessA) and the call waits until the program has registered its class
// object with CoRegisterClassObject; a program that ends first, or that has not registered
// within two minutes, gives CO_E_SERVER_EXEC_FAILURE (the environment variable
// WINPLAT_COM_START_TIMEOUT, in milliseconds, shortens the wait).  A class object registered with
// REGCLS_MULTIPLEUSE serves every client that comes; one registered with REGCLS_SINGLEUSE serves
// the first and is then hidden, so the next client starts another server.  Classes registered in
// the calling process itself are created directly, without a server.
//
// Transport.  A server listens on a unix socket of the abstract namespace; what it registers
// (class objects, running objects) is written to <prefix>/com/classes/ and <prefix>/com/rot/, one
// file per registration, removed when it is revoked, when serving ends or when the process
// exits.  A file left by a killed process names a socket nobody listens on any more: it is
// ignored and removed by the first client that finds it.  Sockets are closed on exec, so
// programs a server starts do not keep its clients connected.
//
// A client holds one connection per server process, shared by all its proxies.  A proxy is an
// IDispatch whose GetIDsOfNames and Invoke run in the server; QueryInterface answers IUnknown and
// IDispatch (asking the server whether the object has an IDispatch when that is not known yet)
// and refuses every other interface, since only these two are marshalled.  VARIANT arguments and
// results of types VT_EMPTY, VT_NULL, VT_I2, VT_I4, VT_R4, VT_R8, VT_BSTR, VT_BOOL, VT_ERROR,
// VT_UI1, VT_DISPATCH and VT_UNKNOWN travel, as do VT_BYREF arguments of these types and of
// VT_VARIANT (their new values come back).  Interface arguments must be proxies of objects of the
// same server (else DISP_E_TYPEMISMATCH): clients serve no calls.  Interfaces in results become
// proxies; releasing the last reference of a proxy releases the server's reference, and the
// connection closes when the client's last proxy of that server is gone.  A call whose server
// dies before it answers gives RPC_E_SERVER_DIED; calls on a connection already lost give
// RPC_E_DISCONNECTED.  Neither hangs, and no SIGPIPE is raised.
//
// Serving.  A server registers its class objects and running objects, then calls
// CoServeClients on one thread.  Every call of every client is served there, one after the
// other; a client's call waits for its answer.  CoServeClients returns when CoStopServing is
// called (from a served call or another thread), or when clients have come and all have gone
// while the server process count (CoAddRefServerProcess) is zero, or when no client has come
// within the activation timeout.  Then the server stops listening and revokes what it
// registered from view (CoRevokeClassObject and RevokeActiveObject still release the objects).
//
// Threads.  CoInitialize, OleInitialize and CoInitializeEx are counted per thread; the calls that
// need them answer CO_E_NOTINITIALIZED on a thread that has not called them.  When the last
// initialised thread of the process uninitialises, the process's registrations are revoked,
// the objects served to clients are released and its connections to servers are closed.
//
// Strings.  OLECHAR is wchar_t (UTF-32 on this platform).  Narrow strings of the programs are
// UTF-8; win::Utf8ToWide and win::WideToUtf8 convert between them.
#pragma once

#include "win/types.h"

#include <atomic>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

using OLECHAR = wchar_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
// A string that knows its length: a 32-bit byte count precedes the characters, a zero follows
// them.  Made with SysAllocString*, released with SysFreeString; a null BSTR is an empty string.
using BSTR = OLECHAR*;
using VARTYPE = unsigned short;
using VARIANT_BOOL = short;
using SCODE = LONG;
using DISPID = LONG;
using LCID = DWORD;
using USHORT = unsigned short;
using PVOID = void*;

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;
inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;

// ---------------------------------------------------------------------------------------------
// GUIDs

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using LPGUID = GUID*;
using LPIID = IID*;
using LPCLSID = CLSID*;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline bool IsEqualGUID(REFGUID a, REFGUID b) {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}
inline bool IsEqualIID(REFIID a, REFIID b) {
    return IsEqualGUID(a, b);
}
inline bool IsEqualCLSID(REFCLSID a, REFCLSID b) {
    return IsEqualGUID(a, b);
}
inline bool operator==(const GUID& a, const GUID& b) {
    return IsEqualGUID(a, b);
}

inline constexpr GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr IID IID_NULL = GUID_NULL;
inline constexpr CLSID CLSID_NULL = GUID_NULL;
inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IClassFactory = {
    0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IErrorInfo = {
    0x1CF2B120, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};
inline constexpr IID IID_ICreateErrorInfo = {
    0x22F03340, 0x547D, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (upper case) into lpsz: the characters written with
// the terminating zero (39), or 0 when cchMax is too small.
int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax);
// The same, allocated with CoTaskMemAlloc.
HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz);
// A CLSID from its braced form (hex digits in either case) or, failing that, from a ProgID.
// CO_E_CLASSSTRING when it is neither; a null string gives CLSID_NULL.
HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid);
// An IID from its braced form only (E_INVALIDARG otherwise).
HRESULT IIDFromString(LPCOLESTR lpsz, LPIID lpiid);
// The CLSID of a ProgID: HKEY_CLASSES_ROOT\<ProgID>\CurVer names the current version's ProgID,
// which is followed when it is registered; otherwise <ProgID>\CLSID holds it.
// CO_E_CLASSSTRING when the ProgID is not registered or its CLSID cannot be read.
HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid);
// HKEY_CLASSES_ROOT\CLSID\{clsid}\ProgID, allocated with CoTaskMemAlloc; REGDB_E_CLASSNOTREG
// when there is none.
HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* lplpszProgID);

LPVOID CoTaskMemAlloc(std::size_t cb);
void CoTaskMemFree(LPVOID pv);

// ---------------------------------------------------------------------------------------------
// Results

inline constexpr HRESULT NOERROR = 0;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004u);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
inline constexpr HRESULT MK_E_UNAVAILABLE = static_cast<HRESULT>(0x800401E3u);
inline constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0u);
inline constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3u);
inline constexpr HRESULT CO_E_OBJISREG = static_cast<HRESULT>(0x800401FBu);
inline constexpr HRESULT CO_E_OBJNOTREG = static_cast<HRESULT>(0x800401FCu);
inline constexpr HRESULT CO_E_SERVER_EXEC_FAILURE = static_cast<HRESULT>(0x80080005u);
inline constexpr HRESULT RPC_E_SERVER_DIED = static_cast<HRESULT>(0x80010007u);
inline constexpr HRESULT RPC_E_CHANGED_MODE = static_cast<HRESULT>(0x80010106u);
inline constexpr HRESULT RPC_E_DISCONNECTED = static_cast<HRESULT>(0x80010108u);
inline constexpr HRESULT DISP_E_UNKNOWNINTERFACE = static_cast<HRESULT>(0x80020001u);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003u);
inline constexpr HRESULT DISP_E_PARAMNOTFOUND = static_cast<HRESULT>(0x80020004u);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005u);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<HRESULT>(0x80020006u);
inline constexpr HRESULT DISP_E_NONAMEDARGS = static_cast<HRESULT>(0x80020007u);
inline constexpr HRESULT DISP_E_BADVARTYPE = static_cast<HRESULT>(0x80020008u);
inline constexpr HRESULT DISP_E_EXCEPTION = static_cast<HRESULT>(0x80020009u);
inline constexpr HRESULT DISP_E_OVERFLOW = static_cast<HRESULT>(0x8002000Au);
inline constexpr HRESULT DISP_E_BADINDEX = static_cast<HRESULT>(0x8002000Bu);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000Eu);
inline constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = static_cast<HRESULT>(0x8002000Fu);

// ---------------------------------------------------------------------------------------------
// Interfaces

struct ITypeInfo; // type information is not provided: GetTypeInfo answers E_NOTIMPL
struct tagVARIANT;
using VARIANT = tagVARIANT;
using VARIANTARG = tagVARIANT;
struct DISPPARAMS;
struct EXCEPINFO;

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
};
using LPUNKNOWN = IUnknown*;

inline constexpr WORD DISPATCH_METHOD = 0x1;
inline constexpr WORD DISPATCH_PROPERTYGET = 0x2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 0x4;
inline constexpr WORD DISPATCH_PROPERTYPUTREF = 0x8;
inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_VALUE = 0;
inline constexpr DISPID DISPID_PROPERTYPUT = -3;

struct IDispatch : IUnknown {
    virtual HRESULT GetTypeInfoCount(UINT* pctinfo) = 0;
    virtual HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
    // rgszNames[0] is the member, the others its parameters; unknown names get DISPID_UNKNOWN
    // and the call DISP_E_UNKNOWNNAME.
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                  DISPID* rgDispId) = 0;
    // riid must be IID_NULL.  The arguments lie in pDispParams->rgvarg in reverse order (the last
    // argument first); a property put names its value DISPID_PROPERTYPUT.  DISP_E_EXCEPTION
    // fills *pExcepInfo; DISP_E_TYPEMISMATCH and DISP_E_PARAMNOTFOUND set *puArgErr to the index
    // in rgvarg of the argument at fault.
    virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                           DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                           UINT* puArgErr) = 0;
};
using LPDISPATCH = IDispatch*;

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
    virtual HRESULT LockServer(BOOL fLock) = 0;
};
using LPCLASSFACTORY = IClassFactory*;

struct IErrorInfo : IUnknown {
    virtual HRESULT GetGUID(GUID* pGUID) = 0;
    virtual HRESULT GetSource(BSTR* pBstrSource) = 0;
    virtual HRESULT GetDescription(BSTR* pBstrDescription) = 0;
    virtual HRESULT GetHelpFile(BSTR* pBstrHelpFile) = 0;
    virtual HRESULT GetHelpContext(DWORD* pdwHelpContext) = 0;
};

struct ICreateErrorInfo : IUnknown {
    virtual HRESULT SetGUID(REFGUID rguid) = 0;
    virtual HRESULT SetSource(LPOLESTR szSource) = 0;
    virtual HRESULT SetDescription(LPOLESTR szDescription) = 0;
    virtual HRESULT SetHelpFile(LPOLESTR szHelpFile) = 0;
    virtual HRESULT SetHelpContext(DWORD dwHelpContext) = 0;
};

// A new error object; query it for IErrorInfo to hand it to SetErrorInfo.
HRESULT CreateErrorInfo(ICreateErrorInfo** pperrinfo);
// The calling thread's error object: SetErrorInfo replaces it (null clears it), GetErrorInfo
// hands it over and clears it (S_FALSE and null when there is none).
HRESULT SetErrorInfo(ULONG dwReserved, IErrorInfo* perrinfo);
HRESULT GetErrorInfo(ULONG dwReserved, IErrorInfo** pperrinfo);

// ---------------------------------------------------------------------------------------------
// BSTR and VARIANT

BSTR SysAllocString(const OLECHAR* psz);               // null for a null psz
BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui); // ui characters (zeros when strIn is null)
INT_PTR SysReAllocString(BSTR* pbstr, const OLECHAR* psz);
void SysFreeString(BSTR bstrString);
UINT SysStringLen(BSTR pbstr);    // characters, 0 for null
UINT SysStringByteLen(BSTR bstr); // bytes, 0 for null

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_UI1 = 17,
    VT_BYREF = 0x4000,
    VT_TYPEMASK = 0x0FFF,
};

struct tagVARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONG lVal;
        SHORT iVal;
        BYTE bVal;
        float fltVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        LONG* plVal;
        SHORT* piVal;
        BYTE* pbVal;
        float* pfltVal;
        double* pdblVal;
        VARIANT_BOOL* pboolVal;
        SCODE* pscode;
        BSTR* pbstrVal;
        IUnknown** ppunkVal;
        IDispatch** ppdispVal;
        tagVARIANT* pvarVal;
        void* byref;
    };
};
using LPVARIANT = VARIANT*;
using LPCVARIANT = const VARIANT*;

#define V_VT(X) ((X)->vt)
#define V_I2(X) ((X)->iVal)
#define V_I4(X) ((X)->lVal)
#define V_BOOL(X) ((X)->boolVal)
#define V_BSTR(X) ((X)->bstrVal)
#define V_DISPATCH(X) ((X)->pdispVal)
#define V_UNKNOWN(X) ((X)->punkVal)
#define V_ERROR(X) ((X)->scode)

struct DISPPARAMS {
    VARIANTARG* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    PVOID pvReserved;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
    SCODE scode;
};

// VT_EMPTY.
void VariantInit(VARIANTARG* pvarg);
// Frees what the variant owns (a BSTR, an interface reference; nothing for VT_BYREF) and leaves
// VT_EMPTY.  DISP_E_BADVARTYPE, the variant untouched, for a type this layer does not know.
HRESULT VariantClear(VARIANTARG* pvarg);
// Clears the destination, then copies: a BSTR is duplicated, an interface AddRef'd.
HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc);
// As VariantCopy, but a VT_BYREF source is copied as the value it points to.
HRESULT VariantCopyInd(VARIANT* pvarDest, const VARIANTARG* pvargSrc);

inline constexpr USHORT VARIANT_NOVALUEPROP = 0x1;
inline constexpr USHORT VARIANT_ALPHABOOL = 0x2;
// Converts to VT_EMPTY, VT_NULL, VT_I2, VT_I4, VT_R4, VT_R8, VT_UI1, VT_BOOL, VT_BSTR, VT_ERROR,
// VT_DISPATCH or VT_UNKNOWN (pvargDest may be pvarSrc).  Numbers convert among themselves
// (reals round half to even; DISP_E_OVERFLOW when out of range), to and from decimal text
// (VT_BOOL reads "True"/"False" too, and is written "-1"/"0", or "True"/"False" with
// VARIANT_ALPHABOOL); VT_EMPTY is 0 or "".  An object converts to a value through its
// DISPID_VALUE property unless VARIANT_NOVALUEPROP is given.  What does not convert gives
// DISP_E_TYPEMISMATCH and leaves the destination as it was.
HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags,
                          VARTYPE vt);

// ---------------------------------------------------------------------------------------------
// Initialising

inline constexpr DWORD COINIT_MULTITHREADED = 0x0;
inline constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;

// S_OK the first time on a thread, S_FALSE after that; RPC_E_CHANGED_MODE when the thread was
// initialised with the other threading model.
HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
HRESULT CoInitialize(LPVOID pvReserved);
void CoUninitialize();
HRESULT OleInitialize(LPVOID pvReserved);
void OleUninitialize();

// ---------------------------------------------------------------------------------------------
// Activation

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
inline constexpr DWORD CLSCTX_REMOTE_SERVER = 0x10;
inline constexpr DWORD CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
inline constexpr DWORD CLSCTX_SERVER =
    CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
inline constexpr DWORD CLSCTX_ALL = CLSCTX_INPROC | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

// Creates an object of the class (see the top of this file) and queries it for riid.  Only
// classes registered in this process can be created in process (there are no in-process server
// libraries); CLSCTX_REMOTE_SERVER is served as CLSCTX_LOCAL_SERVER.  An outer object is
// refused for a class served by another process (CLASS_E_NOAGGREGATION).  REGDB_E_CLASSNOTREG
// when the class or its LocalServer32 is not registered; CO_E_SERVER_EXEC_FAILURE when the
// server cannot be started or does not register in time.
HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid,
                         LPVOID* ppv);

// Makes a loaded object run: S_OK for an object of this process, and for a proxy whose server
// answers (its RPC error otherwise).
HRESULT OleRun(IUnknown* pUnknown);

// ---------------------------------------------------------------------------------------------
// Serving

inline constexpr DWORD REGCLS_SINGLEUSE = 0;
inline constexpr DWORD REGCLS_MULTIPLEUSE = 1;
inline constexpr DWORD REGCLS_MULTI_SEPARATE = 2; // served as REGCLS_MULTIPLEUSE

// Makes a class factory (an IClassFactory; it is AddRef'd) available for the class.  With
// CLSCTX_LOCAL_SERVER in dwClsContext, other processes can reach it.  *lpdwRegister receives
// the cookie for CoRevokeClassObject.
HRESULT CoRegisterClassObject(REFCLSID rclsid, IUnknown* pUnk, DWORD dwClsContext, DWORD flags,
                              LPDWORD lpdwRegister);
// Withdraws a class factory and releases it; CO_E_OBJNOTREG for an unknown cookie.
HRESULT CoRevokeClassObject(DWORD dwRegister);

// The server process count: objects that keep the server running AddRef it when made and
// release it when gone.  Both return the new count.  When it falls to zero while no client is
// connected, CoServeClients returns.
ULONG CoAddRefServerProcess();
ULONG CoReleaseServerProcess();

// Serves the calls of all clients on the calling thread until serving ends (see the top of
// this file); S_OK then.  CO_E_NOTINITIALIZED on a thread that has not initialised.
HRESULT CoServeClients();
// Makes CoServeClients return once the call being served (if any) has been answered.
void CoStopServing();

// ---------------------------------------------------------------------------------------------
// The running object table

inline constexpr DWORD ACTIVEOBJECT_STRONG = 0x0; // the table keeps a reference
inline constexpr DWORD ACTIVEOBJECT_WEAK = 0x1;   // it does not; revoke before the object goes

HRESULT RegisterActiveObject(IUnknown* punk, REFCLSID rclsid, DWORD dwFlags, LPDWORD pdwRegister);
// E_INVALIDARG for an unknown cookie.
HRESULT RevokeActiveObject(DWORD dwRegister, LPVOID pvReserved);
// The running object of the class (registered by this or another process): an object of this
// process itself, else a proxy.  MK_E_UNAVAILABLE when no live process has registered one.
HRESULT GetActiveObject(REFCLSID rclsid, LPVOID pvReserved, IUnknown** ppunk);

// ---------------------------------------------------------------------------------------------
// Helpers of this layer

namespace win {

// UTF-8 to UTF-32 and back.  Malformed UTF-8 bytes each become U+FFFD; so do code points that
// UTF-8 cannot carry (surrogates, beyond U+10FFFF) on the way back, except that a high and a low
// surrogate in a row (UTF-16 in wide characters) are joined.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
// A BSTR of UTF-8 text, and the UTF-8 text of a BSTR (its full length: zeros included).
BSTR SysAllocStringUtf8(std::string_view utf8);
std::string BstrToUtf8(BSTR bstr);
// The braced text of a GUID in narrow characters.
std::string GuidToString(REFGUID guid);

// One member of a DispatchObject: its name (compared without regard to ASCII case), its
// DISPID, which of DISPATCH_METHOD / DISPATCH_PROPERTYGET / DISPATCH_PROPERTYPUT it accepts,
// and how many positional arguments (a put's value not counted).
struct DispMember {
    const char* name;
    DISPID id;
    WORD kinds;
    UINT minArgs;
    UINT maxArgs;
};

// One call of DispatchObject::Invoke, as the member's code sees it: arguments by position in
// their natural order (the first argument is 0), the result and the exception to raise.
class DispCall {
public:
    DispCall(WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr);

    WORD Flags() const { return m_flags; }
    bool IsPut() const { return (m_flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }
    // Positional arguments given, missing ones (VT_ERROR DISP_E_PARAMNOTFOUND) included.
    UINT Count() const { return m_count; }
    // Argument i with a VT_BYREF VT_VARIANT followed; null when absent or missing.
    const VARIANT* Arg(UINT i) const;
    // A property put's value (null for other calls).
    const VARIANT* Value() const;
    // The variant a VT_BYREF VT_VARIANT argument points to, for the member to write into.
    VARIANT* OutArg(UINT i) const;

    // Argument i converted; DISP_E_PARAMNOTFOUND when absent or missing, the conversion's error
    // (DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW) otherwise, with the argument named in *puArgErr.
    HRESULT GetString(UINT i, std::string& out) const;
    HRESULT GetLong(UINT i, LONG& out) const;
    HRESULT GetBool(UINT i, bool& out) const;
    // The same for a property put's value.
    HRESULT GetValueLong(LONG& out) const;
    HRESULT GetValueBool(bool& out) const;

    // The result (nothing happens when the caller wants none).  All return S_OK.
    HRESULT ReturnLong(LONG value);
    HRESULT ReturnBool(bool value);
    HRESULT ReturnString(std::string_view utf8);
    HRESULT ReturnDispatch(IDispatch* object); // AddRef'd; null gives a null VT_DISPATCH
    HRESULT ReturnUnknown(IUnknown* object);
    HRESULT ReturnVariant(const VARIANT& value);

    // Fills the caller's EXCEPINFO (when given) and returns DISP_E_EXCEPTION.
    HRESULT Raise(std::string_view description, SCODE scode = E_FAIL, std::string_view source = {});

private:
    HRESULT Convert(UINT rgIndex, const VARIANT* v, VARTYPE vt, VARIANT& out) const;
    UINT RgIndex(UINT i) const { return m_params->cArgs - 1 - i; }

    WORD m_flags;
    DISPPARAMS* m_params;
    VARIANT* m_result;
    EXCEPINFO* m_excepInfo;
    UINT* m_argErr;
    UINT m_count;
};

// A base for objects that offer their members through IDispatch by name, reference counted
// (a new object holds one reference, its creator's).  Invoke checks the member, the kind of
// call and the number of arguments (DISP_E_MEMBERNOTFOUND, DISP_E_BADPARAMCOUNT,
// DISP_E_NONAMEDARGS, DISP_E_PARAMNOTFOUND for a put without its value) and then calls Call.
class DispatchObject : public IDispatch {
public:
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                          DISPID* rgDispId) override;
    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                   DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                   UINT* puArgErr) override;

protected:
    explicit DispatchObject(std::span<const DispMember> members) : m_members(members) {}
    virtual ~DispatchObject() = default;
    virtual HRESULT Call(DISPID id, DispCall& call) = 0;

private:
    std::atomic<ULONG> m_refs{1};
    std::span<const DispMember> m_members;
};

} // namespace win
