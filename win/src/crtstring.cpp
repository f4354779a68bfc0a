#include "win/crtstring.h"

namespace {
int Fold(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}
} // namespace

int _strnicmp(const char* a, const char* b, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        int ca = Fold(static_cast<unsigned char>(a[i]));
        int cb = Fold(static_cast<unsigned char>(b[i]));
        if (ca != cb || ca == 0)
            return ca - cb;
    }
    return 0;
}

int _stricmp(const char* a, const char* b) {
    return _strnicmp(a, b, static_cast<std::size_t>(-1));
}
