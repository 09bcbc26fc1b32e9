#include "chart/error_text.h"

#include <algorithm>
#include <charconv>

namespace pavaneflow {

namespace {

void AppendNumber(std::u16string& out, std::int64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
}

}  // namespace

void ErrorText::Add(std::int32_t line, std::u16string message) {
  entries_.push_back({line, std::move(message)});
}

std::u16string ErrorText::Text() const {
  std::vector<const Entry*> sorted;
  sorted.reserve(entries_.size());
  for (const Entry& entry : entries_) sorted.push_back(&entry);
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Entry* a, const Entry* b) { return a->line < b->line; });
  std::u16string text;
  const std::int64_t shown = std::min(Count(), kMaxEntries);
  for (std::int64_t i = 0; i < shown; ++i) {
    if (!text.empty()) text += u"\r\n";
    AppendNumber(text, sorted[static_cast<std::size_t>(i)]->line);
    text += u"行目:";
    text += sorted[static_cast<std::size_t>(i)]->message;
  }
  if (Count() > kMaxEntries) {
    text += u"\r\nほか ";
    AppendNumber(text, Count() - kMaxEntries);
    text += u" 件のエラーは省略しました。";
  }
  return text;
}

}  // namespace pavaneflow
