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

// What a code unit of note data is, looked up rather than compared: rows are short and many.
enum class Unit : std::uint8_t { kNothing, kStep, kHead, kTail, kKeysound, kMeasureEnd };

struct UnitTable {
  Unit of[0x80] = {};
};

constexpr UnitTable MakeUnitTable() {
  UnitTable table;
  table.of[u'1'] = table.of[u'L'] = Unit::kStep;
  table.of[u'2'] = table.of[u'4'] = Unit::kHead;
  table.of[u'3'] = Unit::kTail;
  table.of[u'['] = Unit::kKeysound;
  table.of[u','] = Unit::kMeasureEnd;
  return table;
}

constexpr UnitTable kUnits = MakeUnitTable();

Unit UnitOf(char16_t c) {
  return c < 0x80 ? kUnits.of[c] : Unit::kNothing;
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

// Called for every row of every chart: worth the room where AddLine calls it.
inline const char16_t* SimfileNotes::ReadRow(const char16_t* at, const char16_t* end,
                                             std::int32_t line, Tick index) {
  std::uint8_t column = 0;
  for (; at != end && column < kMaxColumns; ++at) {
    const Unit unit = UnitOf(*at);
    if (unit == Unit::kNothing) {
      ++column;  // mines, fakes, keysounds and anything else step on nothing
      continue;
    }
    if (unit == Unit::kMeasureEnd) return at;
    if (unit == Unit::kKeysound) {
      // A keysound suffix belongs to the character before it; one left open ends the row.
      while (at != end && *at != u']' && *at != u',') ++at;
      if (at == end || *at == u',') return at;
      continue;
    }
    const Kind kind = unit == Unit::kStep   ? Kind::kStep
                      : unit == Unit::kHead ? Kind::kHead
                                            : Kind::kTail;
    marks_.push_back({index, column++, kind, kRemoved});
    if (kind == Kind::kHead) headLines_.push_back(line);
  }
  // Columns beyond the last are ignored.
  while (at != end && *at != u',') ++at;
  return at;
}

void SimfileNotes::AddLine(std::u16string_view text, std::int32_t line) {
  // A chart of real length has tens of thousands of marks: room for them from the start spares
  // copying them as the vector grows (unused room is never touched).
  constexpr std::size_t kFirstMarks = 1 << 16;
  if (marks_.capacity() == 0) marks_.reserve(kFirstMarks);
  const char16_t* at = text.data();
  const char16_t* const end = at + text.size();
  while (!ended_) {
    // Blanks after a row's last character step on nothing, so only those before it are trimmed.
    while (at != end && IsBlank(*at)) ++at;
    if (at != end && *at != u',') {
      if (rows_ == std::numeric_limits<Tick>::max()) {
        ended_ = true;
        return;
      }
      at = ReadRow(at, end, line, rows_++);
    }
    if (at == end) return;
    ++at;
    EndMeasure();
  }
}

void SimfileNotes::Finish() {
  if (!ended_) EndMeasure();
}

void SimfileNotes::EndMeasure() {
  // A row's tick depends on how many rows its measure has: the marks of the measure carry their
  // row until it ends.
  Tick row = -1;
  Tick tick = 0;
  for (std::size_t i = measureStart_; i < marks_.size(); ++i) {
    if (marks_[i].tick != row) {
      row = marks_[i].tick;
      if (!RowTick(measure_, row, rows_, tick)) {
        // Past the last tick: nothing from here on is read.
        for (std::size_t k = i; k < marks_.size(); ++k) {
          if (marks_[k].kind == Kind::kHead) headLines_.pop_back();
        }
        marks_.resize(i);
        ended_ = true;
        break;
      }
    }
    marks_[i].tick = tick;
  }
  ++measure_;
  rows_ = 0;
  measureStart_ = marks_.size();
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
