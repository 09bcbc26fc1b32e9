#include "chart/simfile_notes.h"

#include <array>
#include <limits>

namespace pavaneflow {

namespace {

constexpr std::int64_t kTicksPerMeasure = 4 * kTicksPerBeat;
constexpr std::size_t kMaxColumns = 8;
constexpr std::size_t kNoHold = SIZE_MAX;

std::size_t Columns(ChartMode mode) {
  return mode == kSingle ? 4 : kMaxColumns;
}

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r';
}

}  // namespace

bool RowTick(std::int64_t measure, std::int64_t row, std::int64_t rows, Tick& tick) {
  const std::int64_t scaled = kTicksPerMeasure * row;
  std::int64_t within = scaled / rows;
  const std::int64_t twice = 2 * (scaled % rows);
  if (twice > rows || (twice == rows && within % 2 != 0)) ++within;
  const std::int64_t value = kTicksPerMeasure * measure + within;
  if (value > std::numeric_limits<Tick>::max()) return false;
  tick = static_cast<Tick>(value);
  return true;
}

void SimfileNotes::AddLine(std::u16string_view text, std::int32_t line) {
  if (ended_) return;
  // A chart of real length has tens of thousands of marks: room for them from the start spares
  // copying them as the vector grows (unused room is never touched).
  constexpr std::size_t kFirstMarks = 1 << 16;
  if (marks_.capacity() == 0) marks_.reserve(kFirstMarks);
  for (;;) {
    const std::size_t comma = text.find(u',');
    std::u16string_view row = text.substr(0, comma);
    while (!row.empty() && IsBlank(row.front())) row.remove_prefix(1);
    while (!row.empty() && IsBlank(row.back())) row.remove_suffix(1);
    if (!row.empty()) {
      if (rows_ == std::numeric_limits<Tick>::max()) {
        ended_ = true;
        return;
      }
      ReadRow(row, line, rows_++);
    }
    if (comma == std::u16string_view::npos) return;
    EndMeasure();
    if (ended_) return;
    text.remove_prefix(comma + 1);
  }
}

void SimfileNotes::Finish() {
  if (!ended_) EndMeasure();
}

void SimfileNotes::EndMeasure() {
  // A row's tick depends on how many rows its measure has: the marks of the measure carry their
  // row until it ends.
  for (std::size_t i = measureStart_; i < marks_.size(); ++i) {
    if (!RowTick(measure_, marks_[i].tick, rows_, marks_[i].tick)) {
      // Past the last tick: nothing from here on is read.
      for (std::size_t k = i; k < marks_.size(); ++k) {
        if (marks_[k].kind == Kind::kHead) headLines_.pop_back();
      }
      marks_.resize(i);
      ended_ = true;
      break;
    }
  }
  ++measure_;
  rows_ = 0;
  measureStart_ = marks_.size();
}

void SimfileNotes::ReadRow(std::u16string_view row, std::int32_t line, Tick index) {
  std::size_t column = 0;
  for (std::size_t i = 0; i < row.size() && column < kMaxColumns; ++i) {
    const char16_t c = row[i];
    if (c == u'[') {
      // A keysound suffix belongs to the character before it.
      const std::size_t close = row.find(u']', i);
      if (close == std::u16string_view::npos) break;
      i = close;
      continue;
    }
    const auto at = static_cast<std::uint8_t>(column++);
    switch (c) {
      case u'1':
      case u'L':
        marks_.push_back({index, at, Kind::kStep, kRemoved});
        break;
      case u'2':
      case u'4':
        marks_.push_back({index, at, Kind::kHead, kRemoved});
        headLines_.push_back(line);
        break;
      case u'3':
        marks_.push_back({index, at, Kind::kTail, kRemoved});
        break;
      default:
        break;  // mines, fakes, keysounds and anything else step on nothing
    }
  }
}

void SimfileNotes::Fill(ChartMode mode, const TickRanges& warps, const TickRanges& fakes,
                        Score& score, ProblemList& errors) {
  const std::size_t columns = Columns(mode);
  std::array<std::size_t, kMaxColumns> open;  // the mark of each column's open hold head
  std::array<std::int32_t, kMaxColumns> openLine{};
  open.fill(kNoHold);
  auto unclosed = [&](std::int32_t line) { errors.Add(line, ProblemKind::kUnclosedHold); };

  std::size_t head = 0;
  std::size_t warp = 0;
  std::size_t fake = 0;
  for (std::size_t i = 0; i < marks_.size(); ++i) {
    Mark& mark = marks_[i];
    const std::int32_t line = mark.kind == Kind::kHead ? headLines_[head++] : 0;
    if (mark.column >= columns) continue;
    if (mark.kind == Kind::kTail) {
      // A tail ends its hold even where nothing is stepped.
      if (open[mark.column] == kNoHold) continue;
      open[mark.column] = kNoHold;
      mark.note = kFreezeEnd;
      continue;
    }
    if (warps.Contains(mark.tick, warp) || fakes.Contains(mark.tick, fake)) continue;
    if (mark.kind == Kind::kStep) {
      mark.note = kTap;
      continue;
    }
    if (open[mark.column] != kNoHold) {
      // The earlier head on this column never met its tail.
      marks_[open[mark.column]].note = kRemoved;
      unclosed(openLine[mark.column]);
    }
    open[mark.column] = i;
    openLine[mark.column] = line;
    mark.note = kFreezeStart;
  }
  for (std::size_t column = 0; column < columns; ++column) {
    if (open[column] == kNoHold) continue;
    marks_[open[column]].note = kRemoved;
    unclosed(openLine[column]);
  }

  std::array<Lane*, 2> lanes{nullptr, nullptr};
  std::array<Tick, 2> last{0, 0};
  for (const Mark& mark : marks_) {
    if (mark.note == kRemoved) continue;
    const std::size_t key = mode == kCouple && mark.column >= 4 ? 1 : 0;
    const ArrowCode pad = mode == kDouble && mark.column >= 4 ? u'@' : u'0';
    const auto arrow = static_cast<ArrowCode>(pad + mark.column % 4);
    if (lanes[key] == nullptr) lanes[key] = score.GetLane(static_cast<std::int32_t>(key));
    Frame* frame = lanes[key]->GetFrame(mark.tick);
    if (Note* note = frame->FindNote(arrow)) {
      if (mark.note == kFreezeStart) note->kind = kFreezeStart;
    } else {
      frame->notes.push_back(Note{arrow, mark.note});
    }
    last[key] = mark.tick;
  }
  for (const auto& lane : score.lanes) {
    score.FillBeats(lane->key, last[static_cast<std::size_t>(lane->key)]);
  }
}

}  // namespace pavaneflow
