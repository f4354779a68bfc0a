// The wire of cross-process calls: frames on a unix stream socket, the encoding of their
// fields, and the sockets themselves.
//
// A frame is a 32-bit length (little endian, as every number here) and that many bytes.  A
// request starts with its operation byte; its answer is the next frame the server sends on the
// connection (RELEASE has none).  Strings travel as UTF-32 code units, so every BSTR comes back
// as it was sent.
#pragma once

#include "win/com.h"

#include <cstdint>
#include <string>
#include <vector>

namespace win::com {

enum class Op : std::uint8_t {
    Create = 1,   // clsid                          -> hr [objref]
    Active = 2,   // cookie                         -> hr [objref]
    Query = 3,    // id iid                         -> hr
    Names = 4,    // id count names lcid            -> hr ids
    Invoke = 5,   // id dispid lcid flags args named wantResult -> hr result excepinfo argErr outs
    Release = 6,  // id count                       (no answer)
    Ping = 7,     //                                -> hr
    TypeInfo = 8, // id                             -> hr count
};

class WireWriter {
public:
    void U8(std::uint8_t v) { m_data += static_cast<char>(v); }
    void U16(std::uint16_t v) { Raw(&v, sizeof v); }
    void U32(std::uint32_t v) { Raw(&v, sizeof v); }
    void I32(std::int32_t v) { Raw(&v, sizeof v); }
    void F64(double v) { Raw(&v, sizeof v); }
    void F32(float v) { Raw(&v, sizeof v); }
    void Guid(const GUID& g) { Raw(&g, sizeof g); }
    // A wide string with its length; isNull tells a null BSTR from an empty one.
    void Wide(const wchar_t* s, std::size_t n, bool isNull = false);
    const std::string& Data() const { return m_data; }

private:
    void Raw(const void* p, std::size_t n) { m_data.append(static_cast<const char*>(p), n); }
    std::string m_data;
};

class WireReader {
public:
    explicit WireReader(const std::string& data) : m_p(data.data()), m_left(data.size()) {}
    std::uint8_t U8();
    std::uint16_t U16();
    std::uint32_t U32();
    std::int32_t I32();
    double F64();
    float F32();
    GUID Guid();
    // A new BSTR (null when a null one was sent).
    BSTR Bstr();
    std::wstring Wide();
    bool Ok() const { return m_ok; }
    bool AtEnd() const { return m_left == 0; }

private:
    bool Take(void* out, std::size_t n);
    const char* m_p;
    std::size_t m_left;
    bool m_ok = true;
};

// How interface pointers inside variants travel: the side that encodes turns a pointer into an
// object reference, the side that decodes turns the reference into a pointer it owns.
class ObjectMarshaller {
public:
    virtual HRESULT WriteObject(WireWriter& out, IUnknown* object) = 0;
    // The decoded pointer is AddRef'd for the caller (null stays null).
    virtual HRESULT ReadObject(WireReader& in, bool dispatch, IUnknown** object) = 0;

protected:
    ~ObjectMarshaller() = default;
};

// A variant, with VT_BYREF ones sent as the value they point to (the receiver gives them
// storage of its own).  DISP_E_BADVARTYPE for a type that does not travel.
HRESULT WriteVariant(WireWriter& out, const VARIANT& v, ObjectMarshaller& objects);
// A variant as written; a VT_BYREF one comes back as its value, *wireType (when given) telling
// the type it was sent as.
HRESULT ReadVariant(WireReader& in, VARIANT& v, ObjectMarshaller& objects,
                    VARTYPE* wireType = nullptr);

// Sends one frame; false when the peer is gone (never a SIGPIPE).
bool SendFrame(int fd, const std::string& payload);
// Receives one frame; false on end of file, an error or a frame too large.
bool ReceiveFrame(int fd, std::string& payload);

// A listening socket with a fresh name in the abstract namespace (close-on-exec); -1 on error.
int Listen(std::string& name);
// A connection to a listening socket (close-on-exec), or -1.
int Connect(const std::string& name);

} // namespace win::com
