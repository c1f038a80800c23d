// Lines that the reader passes over although they look like input: a keyword
// in lower case or spelt so that its first four characters change, a symmetry
// operator or an atom line left over by a count one too small.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orbicutter {

// What a passed-over line looks like, as the end of a warning line
// ("keywords are read in upper case only: DMAX"); empty for a remark or free text.
// `keywords` are the four-letter keywords of the reader.
std::string lookalike_reason(std::string_view line, const std::vector<std::string>& keywords);

// The line as a warning quotes it: blanks at both ends removed, control
// characters shown as ?, cut to 40 characters.
std::string quoted_line(std::string_view line);

}  // namespace orbicutter
