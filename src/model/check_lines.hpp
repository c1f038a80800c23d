// Pieces of the message lines of the structure checks' warning boxes.
#pragma once

#include <array>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "format/layout.hpp"
#include "model/run.hpp"
#include "model/warning.hpp"

namespace orbicutter {

// At most this many atoms, pairs or fragments are named in a box.
inline constexpr std::size_t most_listed = 10;
// Closer than this (angstrom) no two atoms of a molecular crystal can be.
inline constexpr double close_limit = 0.5;

// A distance as "1.5672 A".
inline std::string angstrom(real d) {
  return trim(format_record("(F10.4)", std::array<Value, 1>{Value(d)})) + " A";
}

// The first most_listed items in the order of their keys, and how many were
// offered: a long list costs no memory.
template <class Key, class Item>
class Shortlist {
 public:
  void offer(const Key& key, const Item& item) {
    ++count_;
    if (kept_.size() == most_listed && !(key < std::prev(kept_.end())->first)) return;
    kept_.emplace(key, item);
    if (kept_.size() > most_listed) kept_.erase(std::prev(kept_.end()));
  }
  std::vector<Item> items() const {
    std::vector<Item> v;
    for (const auto& [key, item] : kept_) v.push_back(item);
    return v;
  }
  std::size_t count() const { return count_; }
  bool empty() const { return count_ == 0; }

 private:
  std::multimap<Key, Item> kept_;
  std::size_t count_ = 0;
};

// One message line per item, at most most_listed of them, then "and N more"
// for the rest of `total` (the number of items when not given).
template <class T, class Line>
void listed(std::vector<std::string>& messages, const std::vector<T>& items, Line&& line, std::size_t total = 0) {
  if (total < items.size()) total = items.size();
  std::size_t shown = 0;
  for (; shown < items.size() && shown < most_listed; ++shown) messages.push_back(message_line(line(items[shown])));
  if (total > shown) messages.push_back(message_line("and " + digits(static_cast<long long>(total - shown)) + " more"));
}

}  // namespace orbicutter
