// The text of a text file as programs hold it in narrow strings.
#pragma once

#include <string>
#include <string_view>

namespace win {

// A text file's bytes (Rich Text or plain text) with all the text they hold and no zero byte,
// so that no text is cut where the string is handed on as a C string.  UTF-16, with a byte
// order mark or recognised without one, becomes UTF-8 (behind UTF-8's byte order mark when it
// has characters beyond ASCII, so that a reader takes it as UTF-8); a NUL character, which
// holds no text, is left out.  Other bytes are kept as they are, for the reader of the text to
// decode: the CAD host's translation of Rich Text and text reads these bytes as the file.
std::string TextFileText(std::string_view bytes);

} // namespace win
