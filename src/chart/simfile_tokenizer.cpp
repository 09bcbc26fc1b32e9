#include "chart/simfile_tokenizer.h"

#include "chart/chart_types.h"
#include "chart/dwi_text.h"

namespace pavaneflow {

namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Trims `text`, returning how many line ends were cut from its front.
std::int32_t Trim(std::u16string& text) {
  std::size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) --end;
  std::size_t begin = 0;
  std::int32_t lines = 0;
  while (begin < end && IsBlank(text[begin])) lines += text[begin++] == u'\n';
  text.erase(end);
  text.erase(0, begin);
  return lines;
}

}  // namespace

bool SimfileTokenizer::NextLine() {
  if (ended_) return false;
  std::u16string_view line;
  if (!input_.ReadLine(line)) {
    ended_ = true;
    line_ = {};
    column_ = 0;
    return false;
  }
  lineNumber_ = WrappingAdd(lineNumber_, 1);
  line_ = line.substr(0, line.find(u'\0'));
  column_ = 0;
  return true;
}

bool SimfileTokenizer::Next(SimfileTag& tag) {
  for (;;) {
    while (column_ >= line_.size()) {
      if (!NextLine()) return false;
    }
    const std::size_t at = line_.find_first_of(u"#/\\", column_);
    if (at == std::u16string_view::npos) {
      column_ = line_.size();
    } else if (line_[at] == u'#') {
      column_ = at + 1;
      ReadTag(tag);
      return true;
    } else if (line_[at] == u'\\') {
      column_ = at + 2;
    } else if (at + 1 < line_.size() && line_[at + 1] == u'/') {
      column_ = line_.size();
    } else {
      column_ = at + 1;
    }
  }
}

void SimfileTokenizer::ReadTag(SimfileTag& tag) {
  tag.line = lineNumber_;
  // The name is gathered as parameter 0 and moved out at the end.
  std::size_t count = 1;
  if (tag.params.empty()) tag.params.emplace_back();
  tag.params[0].clear();
  tag.paramLines.assign(1, lineNumber_);
  auto open = [&] {
    if (tag.params.size() <= count) tag.params.emplace_back();
    tag.params[count].clear();
    tag.paramLines.push_back(lineNumber_);
    ++count;
  };
  for (;;) {
    std::u16string& text = tag.params[count - 1];
    if (column_ >= line_.size()) {
      if (!NextLine() || StartsTag(line_)) break;
      text += u'\n';
      continue;
    }
    const std::size_t at = line_.find_first_of(u":;\\/", column_);
    if (at == std::u16string_view::npos) {
      text.append(line_.substr(column_));
      column_ = line_.size();
      continue;
    }
    text.append(line_.substr(column_, at - column_));
    column_ = at + 1;
    const char16_t c = line_[at];
    if (c == u';') break;
    if (c == u':') {
      open();
    } else if (c == u'\\') {
      if (column_ < line_.size()) text += line_[column_++];
    } else if (column_ < line_.size() && line_[column_] == u'/') {
      column_ = line_.size();
    } else {
      text += u'/';
    }
  }
  tag.params.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    tag.paramLines[i] = WrappingAdd(tag.paramLines[i], Trim(tag.params[i]));
  }
  tag.name = std::move(tag.params[0]);
  UpperCaseAscii(tag.name);
  tag.params.erase(tag.params.begin());
  tag.paramLines.erase(tag.paramLines.begin());
}

}  // namespace pavaneflow
