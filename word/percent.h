// The percent-encoding of the worker's protocol: UTF-8 bytes, the unreserved characters
// A-Z a-z 0-9 - _ . ~ kept, every other byte written %XX.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace word {

std::string PercentEncode(std::string_view text);
// Nothing when a "%" is not followed by two hex digits.
std::optional<std::string> PercentDecode(std::string_view word);

// A request line: the operation and its arguments, encoded, separated by single spaces.
std::string RequestLine(std::string_view op, const std::vector<std::string>& args);

} // namespace word
