// What the object runtime's tests and their server agree on.
#pragma once

#include "win/com.h"

inline constexpr CLSID CLSID_ComTestApp = {
    0x8C5E3A10, 0x2F4B, 0x4C61, {0x9A, 0x7E, 0x5D, 0x3B, 0x1C, 0x0A, 0x9F, 0x01}};
// The scode of the exception the application's Fail raises.
inline constexpr SCODE kFailScode = static_cast<SCODE>(0x800A0BB8u);
