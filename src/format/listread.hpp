// Free-format (list-directed) reading of a line-oriented input file.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace orbicutter {

enum class ReadStatus { ok, error, end_of_file };

// A variable that a read fills. Text variables have a fixed length: the value
// read is cut or padded with blanks to it; a null value leaves it unchanged.
struct ReadItem {
  enum class Kind { integer, real4, real8, text };
  Kind kind;
  void* target;
  int length = 0;  // text only
};
inline ReadItem item(int& v) { return {ReadItem::Kind::integer, &v, 0}; }
inline ReadItem item(float& v) { return {ReadItem::Kind::real4, &v, 0}; }
inline ReadItem item(double& v) { return {ReadItem::Kind::real8, &v, 0}; }
inline ReadItem item(std::string& v, int length) { return {ReadItem::Kind::text, &v, length}; }

class ListReader {
 public:
  // The whole file as read from disk; lines end at '\n', a '\r' before it is dropped.
  explicit ListReader(const std::string& contents);

  // One list-directed READ: starts at the next line, reads as many lines as the
  // items need, skips the rest of the last line.
  ReadStatus read(std::initializer_list<ReadItem> items);
  ReadStatus read(const std::vector<ReadItem>& items);
  // One READ with layout (A): the whole next line into a text of `length`.
  ReadStatus read_line(std::string& text, int length);
  // BACKSPACE: back to the start of the last line that the previous read touched.
  void backspace();
  // The last line that the previous read touched, counted from 1, and the text of line n.
  std::size_t line_number() const { return last_start_ + 1; }
  const std::string& line_text(std::size_t n) const { return lines_[n - 1]; }
  // Why the last read failed ("Bad integer for item 2 in list input", "End of file").
  const std::string& message() const { return message_; }

 private:
  ReadStatus finish(ReadStatus status, std::size_t line, std::string message);

  std::vector<std::string> lines_;
  std::size_t next_ = 0;       // index of the next line to read
  std::size_t last_start_ = 0; // the last line touched by the previous read
  std::string message_;
};

}  // namespace orbicutter
