// The reading rules of game timing: tempo changes and stops, every bracket, jump groups, blanks
// and comments in chart bodies. Kept apart from the classic step loop, which stays as it is.

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "chart/dwi_numbers.h"
#include "chart/dwi_reader.h"
#include "chart/dwi_text.h"

namespace pavaneflow {

namespace {

constexpr std::int32_t kPlainStep = 24;        // no bracket, or after any closer
constexpr std::int32_t kSixteenthStep = 12;    // "("
constexpr std::int32_t kTwentyFourthStep = 8;  // "["
constexpr std::int32_t kSixtyFourthStep = 3;   // "{"
constexpr std::int32_t k192ndStep = 1;         // "`", and "<" when it opens no jump group
// Entry keys count sixteenth notes.
constexpr double kTicksPerSixteenth = 12.0;

// What the reader sees of a line: a NUL ends it.
std::u16string_view Visible(std::u16string_view line) {
  return line.substr(0, line.find(u'\0'));
}

// A chart body line as game timing reads it: spaces and TABs removed, and from two slashes that
// then stand side by side on, a comment.
void BodyText(std::u16string_view line, std::u16string& out) {
  out.clear();
  for (char16_t c : line) {
    if (c == u' ' || c == u'\t') continue;
    if (c == u'/' && !out.empty() && out.back() == u'/') {
      out.pop_back();
      return;
    }
    out.push_back(c);
  }
}

// The tick of an entry's key, false for a key below 0 or past the 32-bit range.
bool KeyTick(double key, Tick& tick) {
  if (!(key >= 0.0)) return false;  // "-0" is tick 0
  const double ticks = std::round(key * kTicksPerSixteenth);
  if (!(ticks <= static_cast<double>(std::numeric_limits<Tick>::max()))) return false;
  tick = static_cast<Tick>(ticks);
  return true;
}

// Sets the entry at `entry.tick`, replacing one already there: the last in the file wins.
template <typename Entry>
void PutAtTick(std::vector<Entry>& entries, const Entry& entry) {
  const auto at = std::lower_bound(entries.begin(), entries.end(), entry.tick,
                                   [](const Entry& e, Tick tick) { return e.tick < tick; });
  if (at != entries.end() && at->tick == entry.tick) {
    *at = entry;
  } else {
    entries.insert(at, entry);
  }
}

// Reads one "KEY=VALUE" entry of a timing tag into `song`; false when it is bad.
bool ReadTimingEntry(std::u16string_view entry, bool tempo, SongDocument& song) {
  const std::size_t equals = entry.find(u'=');
  if (equals == std::u16string_view::npos) return false;
  std::u16string keyText(entry.substr(0, equals));
  std::u16string valueText(entry.substr(equals + 1));
  TrimDwiWhiteSpace(keyText);
  TrimDwiWhiteSpace(valueText);
  double key = 0.0;
  double value = 0.0;
  Tick tick = 0;
  if (!ParseWholeNumber(keyText, key) || !ParseWholeNumber(valueText, value) ||
      !KeyTick(key, tick) || !std::isfinite(value)) {
    return false;
  }
  if (!tempo) {
    PutAtTick(song.stops, Stop{tick, value});
    return true;
  }
  const float bpm = NearestFloat(value);
  if (!std::isfinite(bpm) || !(bpm > 0.0f)) return false;
  PutAtTick(song.tempos, TempoChange{tick, bpm});
  return true;
}

}  // namespace

void DWIReader::ReadTimingTag(std::u16string_view name, std::int32_t line) {
  std::u16string value;
  ReadUntil(value, u';');
  const bool tempo = name != u"FREEZE";
  const std::u16string_view entries = value;
  for (std::size_t start = 0;;) {
    const std::size_t comma = entries.find(u',', start);
    const std::u16string_view entry = entries.substr(start, comma - start);
    if (!ReadTimingEntry(entry, tempo, document_)) {
      AddProblem(line, ProblemKind::kUnreadableTimingEntry,
                 {std::u16string(name), std::u16string(entry)});
    }
    if (comma == std::u16string_view::npos) break;
    start = comma + 1;
  }
}

void DWIReader::ReadGameChartBody(Score& score, ChartMode mode) {
  lookValid_ = false;
  if (valueCut_) return;
  BodyText(line_.substr(std::min(column_, line_.size())), bodyLine_);
  bodyColumn_ = 0;
  // Inside a "<...>" jump group every step lands at currentTick_, which the ">" moves on.
  bool inGroup = false;
  char16_t c;
  while (NextBodyChar(c)) {
    switch (c) {
      case u';':
        return;
      case u'!': {
        char16_t arrow;
        if (!NextBodyChar(arrow)) return;
        // A "5" marks nothing, as a "0" does.
        StartFreezes(score, ArrowsFor(arrow == u'5' ? u'0' : arrow));
        break;
      }
      case u'(':
        stepLength_ = kSixteenthStep;
        break;
      case u'[':
        stepLength_ = kTwentyFourthStep;
        break;
      case u'{':
        stepLength_ = kSixtyFourthStep;
        break;
      case u'`':
        stepLength_ = k192ndStep;
        break;
      case u')':
      case u']':
      case u'}':
      case u'\'':
        stepLength_ = kPlainStep;
        break;
      case u'<':
        if (inGroup) break;  // opens nothing new
        if (OpensJumpGroup()) {
          inGroup = true;
          // The group is the latest step from here on: a "!" inside it marks its Frame.
          lastStepTick_ = currentTick_;
        } else {
          stepLength_ = k192ndStep;
        }
        break;
      case u'>':
        if (inGroup) {
          // Not a closer: the step length in force goes on after the group.
          inGroup = false;
          currentTick_ = WrappingAdd(currentTick_, stepLength_);
        } else {
          stepLength_ = kPlainStep;
        }
        break;
      case u':':
        NextSection(score, mode);
        // An open group goes on in the next section, at its start.
        if (inGroup) lastStepTick_ = currentTick_;
        break;
      default:
        ReadGameStep(score, c, inGroup);
        break;
    }
  }
}

void DWIReader::ReadGameStep(Score& score, char16_t c, bool inGroup) {
  // "5" is a rest here, not an unsupported character.
  if (c != u'5') {
    const StepArrows arrows = ArrowsFor(c);
    if (!arrows.empty()) AddStep(score, currentTick_, arrows);
  }
  lastStepTick_ = currentTick_;
  if (!inGroup) currentTick_ = WrappingAdd(currentTick_, stepLength_);
}

bool DWIReader::NextBodyChar(char16_t& c) {
  while (bodyColumn_ >= bodyLine_.size()) {
    if (!NextValueLine()) return false;
    BodyText(line_, bodyLine_);
    bodyColumn_ = 0;
  }
  c = bodyLine_[bodyColumn_++];
  return true;
}

bool DWIReader::OpensJumpGroup() {
  // The "<" stands just before bodyColumn_; the last scan's answer holds if it stopped after it.
  if (lookValid_ && (lineNumber_ < lookEndLine_ ||
                     (lineNumber_ == lookEndLine_ && bodyColumn_ <= lookEndColumn_))) {
    return lookFoundGroup_;
  }
  lookValid_ = true;
  std::int32_t line = lineNumber_;
  std::u16string_view text = bodyLine_;
  std::size_t column = bodyColumn_;
  std::u16string later;
  for (std::size_t ahead = 0;; ++ahead) {
    const std::size_t stop = text.find_first_of(u">0;", column);
    if (stop != std::u16string_view::npos) {
      lookEndLine_ = line;
      lookEndColumn_ = stop;
      lookFoundGroup_ = text[stop] == u'>';
      return lookFoundGroup_;
    }
    const std::u16string* next = lookahead_->Peek(ahead);
    line = WrappingAdd(line, 1);
    if (next == nullptr || StartsTag(Visible(*next))) {
      // The value ends before that line: every "<" up to there opens no group.
      lookEndLine_ = line;
      lookEndColumn_ = 0;
      lookFoundGroup_ = false;
      return false;
    }
    BodyText(Visible(*next), later);
    text = later;
    column = 0;
  }
}

}  // namespace pavaneflow
