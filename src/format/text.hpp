// Small text helpers of every record: fixed-width names, trimmed fields, integers as digits.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orbicutter {

// A fixed-length text of n characters: cut, or padded with blanks on the right.
std::string fixed_text(std::string_view s, std::size_t n);
inline std::string text3(std::string_view s) { return fixed_text(s, 3); }
// Leading and trailing blanks removed.
std::string trim(std::string_view s);
// An integer as its decimal digits, as a list-directed write then trimmed gives it.
std::string digits(long long n);

}  // namespace orbicutter
