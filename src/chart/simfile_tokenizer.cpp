#include "chart/simfile_tokenizer.h"

#include "chart/chart_types.h"
#include "chart/dwi_text.h"

namespace pavaneflow {

namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// The code units the tokenizer stops at, all ASCII, as a table: note data is mostly short lines
// of digits, so the test per code unit is the tokenizer's hot loop. NUL is in every set, since
// it ends its line.
struct Specials {
  bool at[0x80] = {};
};

constexpr Specials MakeSpecials(std::string_view units) {
  Specials specials;
  specials.at[0] = true;
  for (const char unit : units) specials.at[static_cast<unsigned char>(unit)] = true;
  return specials;
}

constexpr Specials kBetweenTags = MakeSpecials("#/\\");
constexpr Specials kInTag = MakeSpecials(":;\\/");

std::size_t FindAny(std::u16string_view line, std::size_t from, const Specials& specials) {
  for (std::size_t i = from; i < line.size(); ++i) {
    const char16_t c = line[i];
    if (c < 0x80 && specials.at[c]) return i;
  }
  return std::u16string_view::npos;
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
  line_ = line;
  column_ = 0;
  return true;
}

std::size_t SimfileTokenizer::FindSpecial(bool inTag) {
  const std::size_t at = FindAny(line_, column_, inTag ? kInTag : kBetweenTags);
  if (at == std::u16string_view::npos || line_[at] != u'\0') return at;
  line_ = line_.substr(0, at);
  return std::u16string_view::npos;
}

bool SimfileTokenizer::LineGoesOn() {
  if (column_ < line_.size() && line_[column_] == u'\0') line_ = line_.substr(0, column_);
  return column_ < line_.size();
}

bool SimfileTokenizer::Next(SimfileTag& tag) {
  for (;;) {
    while (column_ >= line_.size()) {
      if (!NextLine()) return false;
    }
    const std::size_t at = FindSpecial(false);
    if (at == std::u16string_view::npos) {
      column_ = line_.size();
    } else if (line_[at] == u'#') {
      column_ = at + 1;
      ReadTag(tag);
      return true;
    } else if (line_[at] == u'\\') {
      column_ = at + 1;
      if (LineGoesOn()) ++column_;
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
    const std::size_t at = FindSpecial(true);
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
      if (LineGoesOn()) *text += line_[column_++];
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
