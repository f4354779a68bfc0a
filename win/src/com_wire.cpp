#include "com_wire.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace win::com {
namespace {

constexpr std::uint32_t kMaxFrame = 256u << 20;
constexpr std::uint32_t kNullString = 0xFFFFFFFFu;

enum ObjectTag : std::uint8_t { kNullObject = 0, kObjectRef = 1 };

bool SendAll(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        ssize_t sent = send(fd, p, n, MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += sent;
        n -= static_cast<std::size_t>(sent);
    }
    return true;
}

bool ReceiveAll(int fd, char* p, std::size_t n) {
    while (n > 0) {
        ssize_t got = recv(fd, p, n, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        p += got;
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

sockaddr_un Address(const std::string& name, socklen_t& length) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    // Abstract names start with a zero byte and are not zero-terminated.
    std::size_t n = std::min(name.size(), sizeof addr.sun_path - 1);
    std::memcpy(addr.sun_path + 1, name.data(), n);
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + n);
    return addr;
}

} // namespace

void WireWriter::Wide(const wchar_t* s, std::size_t n, bool isNull) {
    if (isNull) {
        U32(kNullString);
        return;
    }
    U32(static_cast<std::uint32_t>(n));
    for (std::size_t i = 0; i < n; ++i)
        U32(static_cast<std::uint32_t>(s[i]));
}

bool WireReader::Take(void* out, std::size_t n) {
    if (!m_ok || m_left < n) {
        m_ok = false;
        std::memset(out, 0, n);
        return false;
    }
    std::memcpy(out, m_p, n);
    m_p += n;
    m_left -= n;
    return true;
}

std::uint8_t WireReader::U8() {
    std::uint8_t v;
    Take(&v, sizeof v);
    return v;
}
std::uint16_t WireReader::U16() {
    std::uint16_t v;
    Take(&v, sizeof v);
    return v;
}
std::uint32_t WireReader::U32() {
    std::uint32_t v;
    Take(&v, sizeof v);
    return v;
}
std::int32_t WireReader::I32() {
    std::int32_t v;
    Take(&v, sizeof v);
    return v;
}
double WireReader::F64() {
    double v;
    Take(&v, sizeof v);
    return v;
}
float WireReader::F32() {
    float v;
    Take(&v, sizeof v);
    return v;
}
GUID WireReader::Guid() {
    GUID g;
    Take(&g, sizeof g);
    return g;
}

std::wstring WireReader::Wide() {
    std::uint32_t n = U32();
    if (n == kNullString || !m_ok)
        return {};
    if (n > m_left / 4) {
        m_ok = false;
        return {};
    }
    std::wstring s(n, L'\0');
    for (auto& c : s)
        c = static_cast<wchar_t>(U32());
    return s;
}

BSTR WireReader::Bstr() {
    const char* start = m_p;
    std::size_t left = m_left;
    if (U32() == kNullString)
        return nullptr;
    m_p = start;
    m_left = left;
    std::wstring s = Wide();
    return m_ok ? SysAllocStringLen(s.data(), static_cast<UINT>(s.size())) : nullptr;
}

HRESULT WriteVariant(WireWriter& out, const VARIANT& v, ObjectMarshaller& objects) {
    bool byref = (v.vt & VT_BYREF) != 0;
    VARIANT value;
    VariantInit(&value);
    if (byref) {
        // The value travels; the pointer cannot.
        if (!v.byref)
            return E_INVALIDARG;
        if (v.vt == (VT_BYREF | VT_VARIANT) && (v.pvarVal->vt & VT_BYREF))
            return DISP_E_BADVARTYPE;
        if (HRESULT hr = VariantCopyInd(&value, &v); FAILED(hr))
            return hr == E_INVALIDARG ? DISP_E_BADVARTYPE : hr;
    } else {
        value = v; // not owned: written only
    }
    out.U16(v.vt);
    if (v.vt == (VT_BYREF | VT_VARIANT))
        out.U16(value.vt);
    HRESULT hr = S_OK;
    switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
        break;
    case VT_I2:
        out.U16(static_cast<std::uint16_t>(value.iVal));
        break;
    case VT_BOOL:
        out.U16(static_cast<std::uint16_t>(value.boolVal));
        break;
    case VT_I4:
        out.I32(value.lVal);
        break;
    case VT_ERROR:
        out.I32(value.scode);
        break;
    case VT_UI1:
        out.U8(value.bVal);
        break;
    case VT_R4:
        out.F32(value.fltVal);
        break;
    case VT_R8:
        out.F64(value.dblVal);
        break;
    case VT_BSTR:
        out.Wide(value.bstrVal, SysStringLen(value.bstrVal), value.bstrVal == nullptr);
        break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
        if (!value.punkVal) {
            out.U8(kNullObject);
        } else {
            out.U8(kObjectRef);
            hr = objects.WriteObject(out, value.punkVal);
        }
        break;
    default:
        hr = DISP_E_BADVARTYPE;
        break;
    }
    if (byref)
        VariantClear(&value);
    return hr;
}

HRESULT ReadVariant(WireReader& in, VARIANT& v, ObjectMarshaller& objects, VARTYPE* wireType) {
    VariantInit(&v);
    VARTYPE vt = in.U16();
    if (wireType)
        *wireType = vt;
    if (vt == (VT_BYREF | VT_VARIANT))
        vt = in.U16();
    vt &= ~VT_BYREF;
    VARIANT value;
    VariantInit(&value);
    value.vt = vt;
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
        break;
    case VT_I2:
        value.iVal = static_cast<SHORT>(in.U16());
        break;
    case VT_BOOL:
        value.boolVal = static_cast<VARIANT_BOOL>(in.U16());
        break;
    case VT_I4:
        value.lVal = in.I32();
        break;
    case VT_ERROR:
        value.scode = in.I32();
        break;
    case VT_UI1:
        value.bVal = in.U8();
        break;
    case VT_R4:
        value.fltVal = in.F32();
        break;
    case VT_R8:
        value.dblVal = in.F64();
        break;
    case VT_BSTR:
        value.bstrVal = in.Bstr();
        break;
    case VT_DISPATCH:
    case VT_UNKNOWN: {
        std::uint8_t tag = in.U8();
        value.punkVal = nullptr;
        if (tag == kObjectRef) {
            if (HRESULT hr = objects.ReadObject(in, vt == VT_DISPATCH, &value.punkVal); FAILED(hr))
                return hr;
        } else if (tag != kNullObject) {
            return E_INVALIDARG;
        }
        break;
    }
    default:
        return DISP_E_BADVARTYPE;
    }
    if (!in.Ok()) {
        VariantClear(&value);
        return E_INVALIDARG;
    }
    v = value;
    return S_OK;
}

bool SendFrame(int fd, const std::string& payload) {
    std::string frame(4, '\0');
    auto n = static_cast<std::uint32_t>(payload.size());
    std::memcpy(frame.data(), &n, 4);
    frame += payload;
    return SendAll(fd, frame.data(), frame.size());
}

bool ReceiveFrame(int fd, std::string& payload) {
    std::uint32_t n = 0;
    if (!ReceiveAll(fd, reinterpret_cast<char*>(&n), 4) || n > kMaxFrame)
        return false;
    payload.assign(n, '\0');
    return ReceiveAll(fd, payload.data(), n);
}

int Listen(std::string& name) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    std::random_device random;
    for (int attempt = 0; attempt < 8; ++attempt) {
        char text[96];
        std::snprintf(text, sizeof text, "winplat-com/%d/%08x%08x", static_cast<int>(getpid()),
                      random(), random());
        socklen_t length = 0;
        sockaddr_un addr = Address(text, length);
        if (bind(fd, reinterpret_cast<sockaddr*>(&addr), length) == 0) {
            if (listen(fd, 64) != 0)
                break;
            name = text;
            return fd;
        }
        if (errno != EADDRINUSE)
            break;
    }
    close(fd);
    return -1;
}

int Connect(const std::string& name) {
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    socklen_t length = 0;
    sockaddr_un addr = Address(name, length);
    int r;
    do {
        r = connect(fd, reinterpret_cast<sockaddr*>(&addr), length);
    } while (r != 0 && errno == EINTR);
    if (r != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace win::com
