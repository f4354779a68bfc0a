#include "win/textfile.h"

#include "text/textbytes.h"

namespace win {

std::string TextFileText(std::string_view bytes) {
    return cadhost::text::TextBytesWithoutNul(bytes);
}

} // namespace win
