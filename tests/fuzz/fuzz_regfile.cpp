// Fuzz target for the hive file reader.
//
// Besides not crashing, whatever the reader accepts must survive a write and a second read
// unchanged: writing the parsed hive and parsing that text again has to succeed and give the
// same text.  This catches escapes and encodings that the writer and the reader disagree on.
#include "reg_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    win::detail::Hive first;
    std::string error;
    if (!win::detail::ParseRegFile(text, first, &error)) {
        if (error.rfind("line ", 0) != 0)
            std::abort(); // every refusal names its line
        return 0;
    }
    std::string written = win::detail::FormatRegFile(first);
    win::detail::Hive second;
    second.rootName = first.rootName;
    if (!win::detail::ParseRegFile(written, second, &error))
        std::abort();
    if (win::detail::FormatRegFile(second) != written)
        std::abort();
    return 0;
}
