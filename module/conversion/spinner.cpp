#include "conversion/spinner.h"

namespace {
int g_SpinnerCount = 0;
}

const char* NextSpinnerFrame() {
    static const char* const kFrames[] = {"\r/", "\r-", "\r\\", "\r-"};
    const char* frame = kFrames[g_SpinnerCount];
    g_SpinnerCount = (g_SpinnerCount + 1) % 4;
    return frame;
}
