// GUID text, UTF-8 conversion, BSTR allocation and the ProgID entries of the registry.
#include "win/com.h"
#include "win/registry.h"

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

// ---------------------------------------------------------------------------------------------
// UTF-8

namespace win {
namespace {

constexpr wchar_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsSurrogate(char32_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

} // namespace

std::wstring Utf8ToWide(std::string_view utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += static_cast<wchar_t>(b);
            ++i;
            continue;
        }
        int extra = b >= 0xC2 && b <= 0xDF   ? 1
                    : b >= 0xE0 && b <= 0xEF ? 2
                    : b >= 0xF0 && b <= 0xF4 ? 3
                                             : -1;
        char32_t c = extra == 3 ? b & 0x07 : extra == 2 ? b & 0x0F : b & 0x1F;
        bool ok = extra > 0;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + k >= utf8.size()) {
                ok = false;
                break;
            }
            auto cont = static_cast<unsigned char>(utf8[i + k]);
            if ((cont & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (cont & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are malformed too.
        if (ok && ((extra == 2 && c < 0x800) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF)) ||
                   IsSurrogate(c)))
            ok = false;
        if (!ok) {
            out += kReplacement;
            ++i; // one replacement per malformed byte
            continue;
        }
        out += static_cast<wchar_t>(c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::string WideToUtf8(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        auto c = static_cast<char32_t>(wide[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size()) {
            auto low = static_cast<char32_t>(wide[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        if (IsSurrogate(c) || c > 0x10FFFF)
            c = kReplacement;
        AppendUtf8(out, c);
    }
    return out;
}

BSTR SysAllocStringUtf8(std::string_view utf8) {
    std::wstring wide = Utf8ToWide(utf8);
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

std::string BstrToUtf8(BSTR bstr) {
    return WideToUtf8(std::wstring_view(bstr ? bstr : L"", SysStringLen(bstr)));
}

std::string GuidToString(REFGUID guid) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                  guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                  guid.Data4[6], guid.Data4[7]);
    return text;
}

} // namespace win

// ---------------------------------------------------------------------------------------------
// BSTR

namespace {

// The byte count sits just before the characters.
std::uint32_t* Header(BSTR b) {
    return reinterpret_cast<std::uint32_t*>(b) - 1;
}

} // namespace

BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
    std::size_t bytes = static_cast<std::size_t>(ui) * sizeof(OLECHAR);
    if (bytes > 0x7FFFFFF0u)
        return nullptr;
    auto* block =
        static_cast<std::uint32_t*>(std::malloc(sizeof(std::uint32_t) + bytes + sizeof(OLECHAR)));
    if (!block)
        return nullptr;
    block[0] = static_cast<std::uint32_t>(bytes);
    auto* chars = reinterpret_cast<OLECHAR*>(block + 1);
    if (strIn)
        std::wmemcpy(chars, strIn, ui);
    else
        std::wmemset(chars, 0, ui);
    chars[ui] = 0;
    return chars;
}

BSTR SysAllocString(const OLECHAR* psz) {
    if (!psz)
        return nullptr;
    return SysAllocStringLen(psz, static_cast<UINT>(std::wcslen(psz)));
}

INT_PTR SysReAllocString(BSTR* pbstr, const OLECHAR* psz) {
    if (!pbstr)
        return FALSE;
    BSTR fresh = SysAllocString(psz);
    if (psz && !fresh)
        return FALSE;
    SysFreeString(*pbstr);
    *pbstr = fresh;
    return TRUE;
}

void SysFreeString(BSTR bstrString) {
    if (bstrString)
        std::free(Header(bstrString));
}

UINT SysStringLen(BSTR pbstr) {
    return pbstr ? *Header(pbstr) / sizeof(OLECHAR) : 0;
}

UINT SysStringByteLen(BSTR bstr) {
    return bstr ? *Header(bstr) : 0;
}

LPVOID CoTaskMemAlloc(std::size_t cb) {
    return std::malloc(cb ? cb : 1);
}

void CoTaskMemFree(LPVOID pv) {
    std::free(pv);
}

// ---------------------------------------------------------------------------------------------
// GUID text

int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) {
    std::string text = win::GuidToString(rguid);
    if (!lpsz || cchMax < static_cast<int>(text.size()) + 1)
        return 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        lpsz[i] = static_cast<OLECHAR>(text[i]);
    lpsz[text.size()] = 0;
    return static_cast<int>(text.size()) + 1;
}

HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz) {
    if (!lplpsz)
        return E_INVALIDARG;
    *lplpsz = static_cast<LPOLESTR>(CoTaskMemAlloc(39 * sizeof(OLECHAR)));
    if (!*lplpsz)
        return E_OUTOFMEMORY;
    StringFromGUID2(rclsid, *lplpsz, 39);
    return S_OK;
}

namespace {

int HexValue(OLECHAR c) {
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// The braced form, exactly 38 characters.
bool ParseBracedGuid(LPCOLESTR s, GUID& out) {
    if (std::wcslen(s) != 38 || s[0] != L'{' || s[37] != L'}')
        return false;
    const char* layout = "{________-____-____-____-____________}";
    std::uint8_t bytes[16];
    int n = 0;
    for (int i = 1; i < 37;) {
        if (layout[i] == '-') {
            if (s[i] != L'-')
                return false;
            ++i;
            continue;
        }
        int hi = HexValue(s[i]), lo = HexValue(s[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        bytes[n++] = static_cast<std::uint8_t>(hi * 16 + lo);
        i += 2;
    }
    out.Data1 =
        (DWORD(bytes[0]) << 24) | (DWORD(bytes[1]) << 16) | (DWORD(bytes[2]) << 8) | bytes[3];
    out.Data2 = static_cast<WORD>((bytes[4] << 8) | bytes[5]);
    out.Data3 = static_cast<WORD>((bytes[6] << 8) | bytes[7]);
    for (int i = 0; i < 8; ++i)
        out.Data4[i] = bytes[8 + i];
    return true;
}

// A key's default value as text, or nothing.
bool ReadDefault(const std::string& keyName, std::string& value) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, keyName.c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return false;
    DWORD type = 0, size = 0;
    bool ok = RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
              (type == REG_SZ || type == REG_EXPAND_SZ);
    if (ok) {
        std::string data(size, '\0');
        ok = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                              &size) == ERROR_SUCCESS;
        data.resize(size);
        while (!data.empty() && data.back() == '\0')
            data.pop_back();
        value = data;
    }
    RegCloseKey(key);
    return ok;
}

HRESULT ClsidOfProgId(const std::string& progId, CLSID& out, int depth) {
    if (progId.empty() || depth > 8)
        return CO_E_CLASSSTRING;
    std::string current;
    if (ReadDefault(progId + "\\CurVer", current) && !current.empty() &&
        SUCCEEDED(ClsidOfProgId(current, out, depth + 1)))
        return S_OK;
    std::string text;
    if (!ReadDefault(progId + "\\CLSID", text))
        return CO_E_CLASSSTRING;
    std::wstring wide = win::Utf8ToWide(text);
    return ParseBracedGuid(wide.c_str(), out) ? S_OK : CO_E_CLASSSTRING;
}

} // namespace

HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid) {
    if (!lpszProgID || !lpclsid)
        return E_INVALIDARG;
    *lpclsid = CLSID_NULL;
    return ClsidOfProgId(win::WideToUtf8(lpszProgID), *lpclsid, 0);
}

HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid) {
    if (!pclsid)
        return E_INVALIDARG;
    *pclsid = CLSID_NULL;
    if (!lpsz)
        return S_OK;
    if (ParseBracedGuid(lpsz, *pclsid))
        return S_OK;
    if (lpsz[0] != L'{' && SUCCEEDED(CLSIDFromProgID(lpsz, pclsid)))
        return S_OK;
    return CO_E_CLASSSTRING;
}

HRESULT IIDFromString(LPCOLESTR lpsz, LPIID lpiid) {
    if (!lpsz || !lpiid)
        return E_INVALIDARG;
    if (ParseBracedGuid(lpsz, *lpiid))
        return S_OK;
    *lpiid = IID_NULL;
    return E_INVALIDARG;
}

HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* lplpszProgID) {
    if (!lplpszProgID)
        return E_INVALIDARG;
    *lplpszProgID = nullptr;
    std::string progId;
    if (!ReadDefault("CLSID\\" + win::GuidToString(clsid) + "\\ProgID", progId) || progId.empty())
        return REGDB_E_CLASSNOTREG;
    std::wstring wide = win::Utf8ToWide(progId);
    auto* out = static_cast<LPOLESTR>(CoTaskMemAlloc((wide.size() + 1) * sizeof(OLECHAR)));
    if (!out)
        return E_OUTOFMEMORY;
    std::wmemcpy(out, wide.c_str(), wide.size() + 1);
    *lplpszProgID = out;
    return S_OK;
}
