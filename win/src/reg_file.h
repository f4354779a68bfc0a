// Reading and writing hives as REGEDIT4 text.
//
// The reader takes what the writer makes and what people write by hand: CR LF or LF line ends,
// blank lines and ";" comments, "\" continuation of hex data over several lines, an optional
// UTF-8 byte order mark, sections repeated (merged), and a backslash before any character but
// "\" or "\"" kept as it is.  It refuses what has no meaning in a hive (deletion entries
// "[-key]" and "name"=-), and anything it does not understand, rather than guess.
#pragma once

#include "reg_hive.h"

#include <string>
#include <string_view>

namespace win::detail {

// Parses text into out (which is replaced).  Returns false on the first error, with a message
// "line N: what is wrong" in *error when given.  Sections must start with out.rootName (any
// case); when it is empty, the first section's root name is taken.
bool ParseRegFile(std::string_view text, Hive& out, std::string* error);

// The REGEDIT4 text of a hive: every key as a section, also when empty, depth first with
// subkeys in name order; REG_SZ as quoted text when it is plain text ending in one zero,
// REG_DWORD of four bytes as dword:, everything else as hex bytes wrapped at 80 columns.
std::string FormatRegFile(const Hive& hive);

} // namespace win::detail
