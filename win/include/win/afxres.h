// The framework's own resource ids: the standard prompts its classes show.
#pragma once

#include "win/types.h"

inline constexpr UINT AFX_IDP_INVALID_FILENAME = 0xF100;
inline constexpr UINT AFX_IDP_FAILED_TO_OPEN_DOC = 0xF101;
inline constexpr UINT AFX_IDP_FAILED_TO_SAVE_DOC = 0xF102;
inline constexpr UINT AFX_IDP_PARSE_INT = 0xF110;
inline constexpr UINT AFX_IDP_PARSE_REAL = 0xF111;
inline constexpr UINT AFX_IDP_PARSE_INT_RANGE = 0xF112;
inline constexpr UINT AFX_IDP_PARSE_REAL_RANGE = 0xF113;
inline constexpr UINT AFX_IDP_PARSE_STRING_SIZE = 0xF114;
