// The C runtime's string comparisons without regard to letter case (ASCII letters, as the
// runtime compares in its "C" locale).
#pragma once

#include <cstddef>

// Less than, equal to or greater than zero, as strcmp answers.
int _stricmp(const char* a, const char* b);
int _strnicmp(const char* a, const char* b, std::size_t count);
