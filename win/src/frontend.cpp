#include "win/frontend.h"

namespace win {

namespace {
FrontEnd* g_frontEnd = nullptr;
} // namespace

FrontEnd::~FrontEnd() = default;

FrontEnd* SetFrontEnd(FrontEnd* frontEnd) {
    FrontEnd* previous = g_frontEnd;
    g_frontEnd = frontEnd;
    return previous;
}

FrontEnd* GetFrontEnd() {
    return g_frontEnd;
}

} // namespace win
