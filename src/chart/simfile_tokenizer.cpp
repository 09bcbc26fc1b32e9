#include "chart/simfile_tokenizer.h"

#include "chart/chart_types.h"
#include "chart/code_unit_search.h"
#include "chart/dwi_text.h"

namespace pavaneflow {

namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// The first of `specials` (ASCII) in `line` from `from` on, or npos. Note data is mostly short
// lines of digits, so this test per code unit is the tokenizer's hot loop.
template <std::size_t N>
std::size_t FindAny(std::u16string_view line, std::size_t from, const char (&specials)[N]) {
  constexpr auto kNone = std::u16string_view::npos;
  for (std::size_t i = from; i < line.size(); ++i) {
    const char16_t c = line[i];
    if (c >= 0x80) continue;
    for (std::size_t k = 0; k + 1 < N; ++k) {
      if (c == static_cast<char16_t>(specials[k])) return i;
    }
  }
  return kNone;
}

// Whether `line` starts a tag: its first code unit other than blanks and TABs is "#".
bool OpensTag(std::u16string_view line) {
  for (const char16_t c : line) {
    if (c != u' ' && c != u'\t') return c == u'#';
  }
  return false;
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
  line_ = std::u16string_view(
      line.data(), FindCodeUnit(line.data(), line.data() + line.size(), u'\0') - line.data());
  column_ = 0;
  return true;
}

bool SimfileTokenizer::Next(SimfileTag& tag) {
  for (;;) {
    while (column_ >= line_.size()) {
      if (!NextLine()) return false;
    }
    const std::size_t at = FindAny(line_, column_, "#/\\");
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
  tag.name.clear();
  tag.paramLines.clear();
  // Parameters keep their storage from tag to tag, and blanks are left out of a parameter's
  // front as it is read rather than cut off later. A parameter the sink takes goes to it line by
  // line, a line without comment or escape where it lies: note data is never copied whole.
  std::size_t count = 0;
  std::u16string* text = &tag.name;
  std::int32_t unused = 0;
  std::int32_t* line = &unused;
  bool streaming = false;
  auto trimEnd = [](std::u16string& piece) {
    while (!piece.empty() && IsBlank(piece.back())) piece.pop_back();
  };
  auto append = [&](std::u16string_view piece) {
    if (text->empty()) {
      while (!piece.empty() && IsBlank(piece.front())) piece.remove_prefix(1);
    }
    text->append(piece);
  };
  auto flush = [&] {
    if (!pending_.empty()) sink_->TakeLine(pending_, lineNumber_);
    pending_.clear();
  };
  for (;;) {
    if (column_ >= line_.size()) {
      if (streaming) flush();
      if (!NextLine() || OpensTag(line_)) break;
      if (streaming) continue;
      if (text->empty()) {
        *line = lineNumber_;
      } else {
        *text += u'\n';
      }
      continue;
    }
    const std::size_t at = FindAny(line_, column_, ":;\\/");
    if (at == std::u16string_view::npos) {
      if (streaming && pending_.empty()) {
        sink_->TakeLine(line_.substr(column_), lineNumber_);
      } else {
        append(line_.substr(column_));
      }
      column_ = line_.size();
      continue;
    }
    append(line_.substr(column_, at - column_));
    column_ = at + 1;
    const char16_t c = line_[at];
    if (c == u';') break;
    if (c == u':') {
      if (count == 0) {
        trimEnd(tag.name);
        UpperCaseAscii(tag.name);
      }
      if (streaming) flush();
      if (tag.params.size() <= count) tag.params.emplace_back();
      streaming = sink_ != nullptr && sink_->TakesLines(tag.name, count);
      text = streaming ? &pending_ : &tag.params[count];
      tag.params[count++].clear();
      tag.paramLines.push_back(lineNumber_);
      line = &tag.paramLines.back();
    } else if (c == u'\\') {
      if (column_ < line_.size()) *text += line_[column_++];
    } else if (column_ < line_.size() && line_[column_] == u'/') {
      column_ = line_.size();
    } else {
      *text += u'/';
    }
  }
  if (streaming) flush();
  tag.params.resize(count);
  if (count == 0) {
    trimEnd(tag.name);
    UpperCaseAscii(tag.name);
  }
  for (std::u16string& param : tag.params) trimEnd(param);
}

}  // namespace pavaneflow
