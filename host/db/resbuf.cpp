// Result buffers: allocation, release, list building and the value kinds of types.
#include "arx/adsdefs.h"
#include "db/resbufkind.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace cadhost::db {

resbuf* CopyResbuf(const resbuf& source) {
    resbuf* copy = acutNewRb(source.restype);
    if (!copy)
        return nullptr;
    switch (KindOf(source.restype)) {
    case ValueKind::String:
        copy->resval.rstring = acutNewString(source.resval.rstring);
        if (source.resval.rstring && !copy->resval.rstring) {
            acutRelRb(copy);
            return nullptr;
        }
        break;
    case ValueKind::Binary: {
        std::int32_t len = source.resval.rbinary.clen;
        copy->resval.rbinary.clen = 0;
        copy->resval.rbinary.buf = nullptr;
        if (len > 0 && source.resval.rbinary.buf) {
            auto* buf = static_cast<char*>(std::malloc(static_cast<std::size_t>(len)));
            if (!buf) {
                acutRelRb(copy);
                return nullptr;
            }
            std::memcpy(buf, source.resval.rbinary.buf, static_cast<std::size_t>(len));
            copy->resval.rbinary.buf = buf;
            copy->resval.rbinary.clen = len;
        }
        break;
    }
    default:
        copy->resval = source.resval;
        break;
    }
    return copy;
}

resbuf* CopyChain(const resbuf* chain) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (const resbuf* rb = chain; rb; rb = rb->rbnext) {
        resbuf* copy = CopyResbuf(*rb);
        if (!copy) {
            acutRelRb(head);
            return nullptr;
        }
        *tail = copy;
        tail = &copy->rbnext;
    }
    return head;
}

} // namespace cadhost::db

using cadhost::db::KindOf;
using cadhost::db::ValueKind;

resbuf* acutNewRb(int type) {
    auto* rb = static_cast<resbuf*>(std::calloc(1, sizeof(resbuf)));
    if (rb)
        rb->restype = static_cast<short>(type);
    return rb;
}

int acutRelRb(resbuf* chain) {
    while (chain) {
        resbuf* next = chain->rbnext;
        switch (KindOf(chain->restype)) {
        case ValueKind::String:
            std::free(chain->resval.rstring);
            break;
        case ValueKind::Binary:
            std::free(chain->resval.rbinary.buf);
            break;
        default:
            break;
        }
        std::free(chain);
        chain = next;
    }
    return RTNORM;
}

resbuf* acutBuildList(int firstType, ...) {
    va_list args;
    va_start(args, firstType);
    resbuf* head = nullptr;
    resbuf** tail = &head;
    bool failed = false;
    for (int type = firstType; type != 0; type = va_arg(args, int)) {
        ValueKind kind = KindOf(type);
        if (kind == ValueKind::Unknown || kind == ValueKind::Binary) {
            failed = true;
            break;
        }
        resbuf* rb = acutNewRb(type);
        if (!rb) {
            failed = true;
            break;
        }
        *tail = rb;
        tail = &rb->rbnext;
        switch (kind) {
        case ValueKind::String: {
            const char* text = va_arg(args, const char*);
            rb->resval.rstring = acutNewString(text);
            if (text && !rb->resval.rstring)
                failed = true;
            break;
        }
        case ValueKind::Point: {
            const double* p = va_arg(args, const double*);
            for (int i = 0; i < 3; ++i)
                rb->resval.rpoint[i] = p ? p[i] : 0.0;
            // A 2D point has no z; the caller's array may hold only two values.
            if (type == RTPOINT)
                rb->resval.rpoint[2] = 0.0;
            break;
        }
        case ValueKind::Real:
            rb->resval.rreal = va_arg(args, double);
            break;
        case ValueKind::Short:
            rb->resval.rint = static_cast<short>(va_arg(args, int));
            break;
        case ValueKind::Long:
            rb->resval.rlong = va_arg(args, std::int32_t);
            break;
        case ValueKind::Int64:
            rb->resval.mnLongPtr = va_arg(args, std::int64_t);
            break;
        case ValueKind::Name: {
            const std::int64_t* name = va_arg(args, const std::int64_t*);
            rb->resval.rlname[0] = name ? name[0] : 0;
            rb->resval.rlname[1] = name ? name[1] : 0;
            break;
        }
        default:
            break;
        }
        if (failed)
            break;
    }
    va_end(args);
    if (failed) {
        acutRelRb(head);
        return nullptr;
    }
    return head;
}

void acutDelString(char*& str) {
    std::free(str);
    str = nullptr;
}

char* acutNewString(const char* str) {
    if (!str)
        return nullptr;
    std::size_t len = std::strlen(str) + 1;
    auto* copy = static_cast<char*>(std::malloc(len));
    if (copy)
        std::memcpy(copy, str, len);
    return copy;
}

bool acutRbTypeIsString(int type) {
    return KindOf(type) == ValueKind::String;
}
bool acutRbTypeIsPoint(int type) {
    return KindOf(type) == ValueKind::Point;
}
