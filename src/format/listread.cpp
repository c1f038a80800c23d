// Free-format reader (to be written).
#include "format/listread.hpp"

namespace orbicutter {
ListReader::ListReader(const std::string&) {}
ReadStatus ListReader::read(std::initializer_list<ReadItem>) { return ReadStatus::end_of_file; }
ReadStatus ListReader::read(const std::vector<ReadItem>&) { return ReadStatus::end_of_file; }
ReadStatus ListReader::read_line(std::string&, int) { return ReadStatus::end_of_file; }
void ListReader::backspace() {}
}  // namespace orbicutter
