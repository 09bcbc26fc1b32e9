#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pavaneflow {

// The numbered error entries of one read, collected in any order and given out in file order
// ("N行目:" and the message, joined by "\r\n"): the simfile reader finds some problems of a chart
// only once the whole file is known. Past kMaxEntries the text lists the first ones and says how
// many were left out, as the DWI reader does.
class ErrorText {
 public:
  static constexpr std::int64_t kMaxEntries = 10000;

  void Add(std::int32_t line, std::u16string message);

  // The entries by line, those of one line in the order they were added.
  std::u16string Text() const;
  std::int64_t Count() const { return static_cast<std::int64_t>(entries_.size()); }

 private:
  struct Entry {
    std::int32_t line;
    std::u16string message;
  };
  std::vector<Entry> entries_;
};

}  // namespace pavaneflow
