#include "chart/dwi_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <memory>
#include <utility>

#include "chart/code_unit_search.h"
#include "chart/dwi_numbers.h"
#include "chart/dwi_text.h"

namespace pavaneflow {

namespace {

constexpr std::int32_t kStepLength = 24;
constexpr std::int32_t kShortStepLength = 12;
// A "[" group shares two beats among its characters.
constexpr std::int32_t kGroupLength = 96;
// The second pad of a DOUBLE chart: its ArrowCodes follow the first pad's by this much.
constexpr std::int32_t kSecondPadOffset = 16;
constexpr ArrowCode kLeft = u'0';
constexpr ArrowCode kDown = u'1';
constexpr ArrowCode kUp = u'2';
constexpr ArrowCode kRight = u'3';

// What one step character stands for: how many panels, which ones; a character that is no step
// is not `valid`.
struct StepPanels {
  bool valid;
  std::uint8_t count;
  ArrowCode first;
  ArrowCode second;
};

// Indexed by character - '0', up to 'B'. A table rather than a switch: step characters come in
// no predictable order, and a jump per character was mispredicted most of the time.
constexpr std::array<StepPanels, 19> kStepPanels = [] {
  std::array<StepPanels, 19> table{};
  auto set = [&table](char16_t c, std::uint8_t count, ArrowCode first, ArrowCode second) {
    table[c - u'0'] = {true, count, first, second};
  };
  set(u'0', 0, 0, 0);
  set(u'1', 2, kLeft, kDown);
  set(u'2', 1, kDown, 0);
  set(u'3', 2, kDown, kRight);
  set(u'4', 1, kLeft, 0);
  set(u'6', 1, kRight, 0);
  set(u'7', 2, kLeft, kUp);
  set(u'8', 1, kUp, 0);
  set(u'9', 2, kUp, kRight);
  set(u'A', 2, kDown, kUp);
  set(u'B', 2, kLeft, kRight);
  return table;
}();

// The panels of `c`; null for a character that is no step.
inline const StepPanels* PanelsOf(char16_t c) {
  const std::size_t index = static_cast<std::size_t>(c) - u'0';
  if (index >= kStepPanels.size() || !kStepPanels[index].valid) return nullptr;
  return &kStepPanels[index];
}

// The arrows of `panels` on the pad at `offset`. Kept here where the step loop inlines it: a
// small value returned from a call went through memory and stalled every step.
inline StepArrows ArrowsOf(const StepPanels& panels, std::int32_t offset) {
  // The offset is added as a 16-bit value: only its low 16 bits count.
  const auto o = static_cast<std::uint32_t>(offset);
  return StepArrows(static_cast<ArrowCode>(o + panels.first),
                    static_cast<ArrowCode>(o + panels.second), panels.count);
}

// The arrows stepped by `c` into `out`; false for a character that is no step.
inline bool ArrowsOf(char16_t c, std::int32_t offset, StepArrows& out) {
  const StepPanels* panels = PanelsOf(c);
  out = panels != nullptr ? ArrowsOf(*panels, offset) : StepArrows();
  return panels != nullptr;
}

}  // namespace

DWIReader::DWIReader(SongDocument& document, LineSource& input, ChartTiming timing)
    : lookahead_(timing == ChartTiming::kGame ? std::make_unique<LookaheadLineSource>(input)
                                              : nullptr),
      document_(document),
      input_(lookahead_ != nullptr ? *lookahead_ : input),
      gameTiming_(timing == ChartTiming::kGame) {}

void DWIReader::ReadTags() {
  for (;;) {
    if (column_ >= line_.size()) {
      if (!NextLine()) return;
      continue;
    }
    const std::size_t hash = line_.find(u'#', column_);
    if (hash == std::u16string_view::npos) {
      column_ = line_.size();
      continue;
    }
    column_ = hash + 1;
    ReadTag();
  }
}

bool DWIReader::ReadTag() {
  valueCut_ = false;
  std::u16string name;
  if (!ReadUntil(name, u':')) return false;
  UpperCaseAscii(name);
  inValue_ = true;

  if (name == u"TITLE" || name == u"ARTIST" || name == u"BPM" || name == u"FILE" ||
      name == u"GAP") {
    const std::int32_t line = lineNumber_;
    std::u16string value;
    ReadUntil(value, u';');
    if (name == u"BPM") CheckTempo(line, value);
    StoreHeader(name, value);
    document_.HeaderChanged();
  } else if (name == u"SINGLE") {
    ReadChart(kSingle, name);
  } else if (name == u"DOUBLE") {
    ReadChart(kDouble, name);
  } else if (name == u"COUPLE") {
    ReadChart(kCouple, name);
  } else if (gameTiming_ && (name == u"CHANGEBPM" || name == u"BPMCHANGE" || name == u"FREEZE")) {
    ReadTimingTag(name, lineNumber_);
  } else if (name == u"CHANGEBPM" || name == u"FREEZE") {
    // The value is not read: scanning for "#" goes on right after the ":".
    AddProblem(lineNumber_, ProblemKind::kUnsupportedTag, {name});
    ++gameReadableCount_;
  } else {
    if (name == u"SOLO") document_.CountSkippedChart(name);
    SkipValue();
  }
  inValue_ = false;
  return true;
}

void DWIReader::CheckTempo(std::int32_t line, std::u16string_view value) {
  // Read as ever; a tempo that cannot time a step (0 for "abc") is said to be one.
  const float bpm = ParseBpm(value);
  if (!(bpm > 0.0f && bpm <= std::numeric_limits<float>::max())) {
    AddProblem(line, ProblemKind::kTempoNotPositive, {u"BPM", std::u16string(value)});
  }
}

void DWIReader::StoreHeader(std::u16string_view name, std::u16string& value) {
  if (name == u"TITLE") {
    document_.title = std::move(value);
  } else if (name == u"ARTIST") {
    document_.artist = std::move(value);
  } else if (name == u"BPM") {
    document_.bpm = ParseBpm(value);
  } else if (name == u"FILE") {
    document_.file = std::move(value);
  } else {
    document_.gap = ParseGap(value);
  }
}

void DWIReader::ReadChart(ChartMode mode, std::u16string_view word) {
  std::u16string difficulty;
  ReadUntil(difficulty, u':');
  UpperCaseAscii(difficulty);
  std::u16string rating;
  ReadUntil(rating, u':');

  document_.scores.push_back(std::make_unique<Score>());
  Score& score = *document_.scores.back();
  score.name.assign(word).append(u" ").append(difficulty);
  score.mode = mode;
  score.meter = ParseGap(rating);
  arrowOffset_ = 0;
  lane_ = nullptr;
  if (gameTiming_) {
    ReadGameChartBody(score, mode);
  } else {
    ReadChartBody(score, mode);
  }
  score.FillBeats(laneKey_, lastStepTick_);
  // Whatever follows the ";" on its line is dropped; a line that starts a tag and so ended the
  // chart is read on from its start.
  if (!valueCut_) {
    line_ = {};
    column_ = 0;
  }
  laneKey_ = 0;
  lane_ = nullptr;
  currentTick_ = 0;
  stepLength_ = kStepLength;
}

void DWIReader::ReadChartBody(Score& score, ChartMode mode) {
  for (;;) {
    if (column_ >= line_.size()) {
      if (!NextLine()) break;
      continue;
    }
    ReadSteps(score);
    if (column_ >= line_.size()) continue;
    const char16_t c = line_[column_++];
    if (c == u';') break;
    switch (c) {
      case u'!': {
        char16_t arrow;
        if (!ReadChar(arrow)) break;
        StartFreezes(score, ArrowsFor(arrow));
        break;
      }
      case u'[': {
        // Past kGroupLength characters the length is 0 whatever the count, so the count stops
        // there: a line of "[" alone must not cost quadratic time.
        const std::size_t limit = std::min(line_.size(), column_ + kGroupLength + 1);
        std::size_t n = 0;
        while (column_ + n < limit && line_[column_ + n] != u']') ++n;
        if (n > 0) stepLength_ = kGroupLength / static_cast<std::int32_t>(n);
        break;
      }
      case u':':
        NextSection(score, mode);
        break;
      default:
        ReadStep(score, c);
        break;
    }
  }
}

void DWIReader::StartFreezes(Score& score, StepArrows arrows) {
  // The Score's AddFreezeStarts, through the Lane at hand.
  LaneFrames(score).Get(lastStepTick_)->MarkFreezeStarts(arrows);
  for (ArrowCode code : arrows) {
    if (!pendingFreezes_.test(code)) {
      pendingFreezes_.set(code);
      ++pendingCount_;
      pendingMask_ |= std::uint64_t{1} << code % 64;
    }
  }
}

void DWIReader::NextSection(Score& score, ChartMode mode) {
  if (mode == kDouble) {
    arrowOffset_ = WrappingAdd(arrowOffset_, kSecondPadOffset);
  } else {
    score.FillBeats(laneKey_, lastStepTick_);
    laneKey_ = WrappingAdd(laneKey_, 1);
    lane_ = nullptr;
  }
  currentTick_ = 0;
  stepLength_ = kStepLength;
}

void DWIReader::AddStep(Score& score, Tick tick, StepArrows arrows) {
  PutStep(*LaneFrames(score).Get(tick), arrows);
}

inline void DWIReader::PutStep(Frame& frame, StepArrows arrows) {
  if (frame.notes.empty()) {
    // A new Frame, nearly always: the arrows of one step character are distinct, so no Note
    // needs looking for.
    frame.notes.AssignTaps(arrows[0], arrows[1], arrows.size());
  } else {
    frame.AddNotes(arrows);
  }
  if (pendingCount_ != 0 &&
      ((pendingMask_ >> arrows[0] % 64 | pendingMask_ >> arrows[1] % 64) & 1) != 0) {
    EndFreezes(frame, arrows);
  }
}

FrameList& DWIReader::LaneFrames(Score& score) {
  if (lane_ == nullptr) lane_ = score.GetLane(laneKey_);
  return lane_->frames;
}

void DWIReader::EndFreezes(Frame& frame, StepArrows arrows) {
  for (ArrowCode code : arrows) {
    if (pendingFreezes_.test(code)) {
      frame.FindNote(code)->kind = kFreezeEnd;
      pendingFreezes_.reset(code);
      if (--pendingCount_ == 0) pendingMask_ = 0;
    }
  }
}

void DWIReader::ReadSteps(Score& score) {
  const char16_t* text = line_.data();
  const std::size_t size = line_.size();
  const std::int32_t offset = arrowOffset_;
  std::int32_t length = stepLength_;
  // The ticks live in locals: as members they would go through memory around every call.
  Tick tick = currentTick_;
  Tick last = lastStepTick_;
  std::size_t column = column_;
  // AddStep, inlined: a call per step cost as much as the step itself.
  FrameList* frames = lane_ != nullptr ? &lane_->frames : nullptr;
  for (; column < size; ++column) {
    const StepPanels* panels = PanelsOf(text[column]);
    if (panels == nullptr) {
      // The brackets that only change the step length come once every few steps: leaving
      // the loop for them cost more than the steps between them.
      const char16_t c = text[column];
      if (c == u'(') {
        length = kShortStepLength;
      } else if (c == u')' || c == u']') {
        length = kStepLength;
      } else {
        break;
      }
      continue;
    }
    if (panels->count != 0) {
      if (frames == nullptr) frames = &LaneFrames(score);
      PutStep(*frames->Get(tick), ArrowsOf(*panels, offset));
    }
    last = tick;
    tick = WrappingAdd(tick, length);
  }
  column_ = column;
  stepLength_ = length;
  currentTick_ = tick;
  lastStepTick_ = last;
}

void DWIReader::ReadStep(Score& score, char16_t c) {
  StepArrows arrows;
  if (!ArrowsOf(c, arrowOffset_, arrows)) AddUnsupported(c);
  if (!arrows.empty()) AddStep(score, currentTick_, arrows);
  lastStepTick_ = currentTick_;
  currentTick_ = WrappingAdd(currentTick_, stepLength_);
}

StepArrows DWIReader::ArrowsFor(char16_t c) {
  StepArrows arrows;
  if (!ArrowsOf(c, arrowOffset_, arrows)) AddUnsupported(c);
  return arrows;
}

bool DWIReader::ReadUntil(std::u16string& out, char16_t delimiter) {
  out.clear();
  // A value already ended holds nothing more.
  if (valueCut_) return false;
  bool any = false;
  for (;;) {
    if (column_ >= line_.size()) {
      if (!NextValueLine()) break;
      continue;
    }
    const std::size_t found = line_.find(delimiter, column_);
    const std::size_t end = found == std::u16string_view::npos ? line_.size() : found;
    if (end > column_) {
      out.append(line_.substr(column_, end - column_));
      any = true;
    }
    column_ = end;
    if (found != std::u16string_view::npos) {
      ++column_;
      break;
    }
  }
  TrimDwiWhiteSpace(out);
  return any;
}

bool DWIReader::ReadChar(char16_t& out) {
  return Next(out);
}

bool DWIReader::SkipValue() {
  for (;;) {
    if (column_ >= line_.size()) {
      if (!NextValueLine()) return false;
      continue;
    }
    const std::size_t found = line_.find(u';', column_);
    if (found != std::u16string_view::npos) {
      column_ = found + 1;
      return true;
    }
    column_ = line_.size();
  }
}

void DWIReader::AddProblem(std::int32_t line, ProblemKind kind,
                           std::vector<std::u16string> arguments) {
  ++errorCount_;
  if (errorCount_ > kMaxErrorEntries) return;
  problems_.push_back({line, kind, std::move(arguments)});
}

void DWIReader::AddUnsupported(char16_t c) {
  AddProblem(lineNumber_, ProblemKind::kUnsupportedCharacter, {std::u16string(1, c)});
  if (!gameTiming_ && GameReads(c)) ++gameReadableCount_;
}

bool DWIReader::GameReads(char16_t c) const {
  switch (c) {
    case u'{':
    case u'}':
    case u'`':
    case u'\'':
    case u'<':
    case u'>':
    case u'5':
    case u' ':
    case u'\t':
      return true;
    case u'/':
      // A comment starts at two slashes side by side.
      return (column_ >= 2 && line_[column_ - 2] == u'/') ||
             (column_ < line_.size() && line_[column_] == u'/');
    default:
      return false;
  }
}

bool DWIReader::Next(char16_t& c) {
  while (column_ >= line_.size()) {
    if (!NextLine()) return false;
  }
  c = line_[column_++];
  return true;
}

bool DWIReader::NextLine() {
  const bool read = input_.ReadLine(line_);
  lineNumber_ = WrappingAdd(lineNumber_, 1);
  column_ = 0;
  if (!read) {
    line_ = {};
    return false;
  }
  // A NUL ends its line: the rest is never seen.
  line_ = line_.substr(
      0, static_cast<std::size_t>(FindCodeUnit(line_.data(), line_.data() + line_.size(), u'\0') -
                                  line_.data()));
  return true;
}

bool DWIReader::NextValueLine() {
  if (!NextLine()) return false;
  if (!gameTiming_ || !inValue_) return true;
  // Games end a value that has not met its ";" where the next tag begins.
  if (!StartsTag(line_)) return true;
  valueCut_ = true;
  return false;
}

}  // namespace pavaneflow
