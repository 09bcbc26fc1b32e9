#include "chart/simfile_note_data.h"

#include <array>
#include <limits>
#include <string>
#include <vector>

namespace pavaneflow {

namespace {

constexpr std::int64_t kTicksPerMeasure = 4 * kTicksPerBeat;
constexpr std::size_t kMaxColumns = 8;
constexpr std::int32_t kNoHold = -1;

struct Event {
  Tick tick;
  std::int32_t key;
  ArrowCode arrow;
  NoteKind kind;  // kRemoved for a hold head never closed
};
constexpr NoteKind kRemoved = -1;

struct Row {
  std::u16string_view text;
  std::int32_t line;
};

std::size_t Columns(ChartMode mode) {
  return mode == kSingle ? 4 : kMaxColumns;
}

// The Lane and the ArrowCode of column `column` of a chart of `mode`.
void Place(ChartMode mode, std::size_t column, std::int32_t& key, ArrowCode& arrow) {
  const auto panel = static_cast<ArrowCode>(column % 4);
  key = mode == kCouple && column >= 4 ? 1 : 0;
  const ArrowCode pad = mode == kDouble && column >= 4 ? u'@' : u'0';
  arrow = static_cast<ArrowCode>(pad + panel);
}

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r';
}

class NoteDataReader {
 public:
  NoteDataReader(ChartMode mode, const TickRanges& warps, const TickRanges& fakes,
                 ErrorText& errors)
      : mode_(mode), warps_(warps), fakes_(fakes), errors_(errors) {
    holds_.fill(kNoHold);
  }

  void Read(std::u16string_view data, std::int32_t firstLine) {
    std::int32_t line = firstLine;
    for (std::size_t begin = 0; begin <= data.size() && !ended_;) {
      std::size_t end = data.find(u'\n', begin);
      if (end == std::u16string_view::npos) end = data.size();
      ReadLine(data.substr(begin, end - begin), line);
      begin = end + 1;
      line = WrappingAdd(line, 1);
    }
    EndMeasure();
  }

  void Fill(Score& score) {
    for (std::size_t column = 0; column < holds_.size(); ++column) {
      if (holds_[column] == kNoHold) continue;
      events_[static_cast<std::size_t>(holds_[column])].kind = kRemoved;
      Unclosed(holdLines_[column]);
    }
    std::array<Tick, 2> last{0, 0};
    for (const Event& event : events_) {
      if (event.kind == kRemoved) continue;
      Frame* frame = score.GetLane(event.key)->GetFrame(event.tick);
      if (Note* note = frame->FindNote(event.arrow)) {
        if (event.kind == kFreezeStart) note->kind = kFreezeStart;
      } else {
        frame->notes.push_back(Note{event.arrow, event.kind});
      }
      last[static_cast<std::size_t>(event.key)] = event.tick;
    }
    for (const auto& lane : score.lanes) {
      score.FillBeats(lane->key, last[static_cast<std::size_t>(lane->key)]);
    }
  }

 private:
  void ReadLine(std::u16string_view text, std::int32_t line) {
    for (;;) {
      const std::size_t comma = text.find(u',');
      AddRow(text.substr(0, comma), line);
      if (comma == std::u16string_view::npos) return;
      EndMeasure();
      text.remove_prefix(comma + 1);
    }
  }

  void AddRow(std::u16string_view text, std::int32_t line) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (!text.empty()) rows_.push_back({text, line});
  }

  void EndMeasure() {
    const auto count = static_cast<std::int64_t>(rows_.size());
    for (std::int64_t r = 0; r < count && !ended_; ++r) {
      Tick tick = 0;
      if (!RowTick(measure_, r, count, tick)) {
        ended_ = true;
        break;
      }
      ReadRow(rows_[static_cast<std::size_t>(r)], tick);
    }
    rows_.clear();
    ++measure_;
  }

  void ReadRow(const Row& row, Tick tick) {
    const bool stepped = !warps_.Contains(tick) && !fakes_.Contains(tick);
    const std::size_t columns = Columns(mode_);
    std::size_t column = 0;
    for (std::size_t i = 0; i < row.text.size() && column < columns; ++i) {
      const char16_t c = row.text[i];
      if (c == u'[') {
        // A keysound suffix belongs to the character before it.
        const std::size_t close = row.text.find(u']', i);
        if (close == std::u16string_view::npos) break;
        i = close;
        continue;
      }
      ReadCharacter(c, column++, tick, stepped, row.line);
    }
  }

  void ReadCharacter(char16_t c, std::size_t column, Tick tick, bool stepped, std::int32_t line) {
    std::int32_t key = 0;
    ArrowCode arrow = 0;
    Place(mode_, column, key, arrow);
    switch (c) {
      case u'1':
      case u'L':
        if (stepped) events_.push_back({tick, key, arrow, kTap});
        break;
      case u'2':
      case u'4':
        if (!stepped) break;
        if (holds_[column] != kNoHold) {
          // The earlier head on this column never met its tail.
          events_[static_cast<std::size_t>(holds_[column])].kind = kRemoved;
          Unclosed(holdLines_[column]);
        }
        holds_[column] = static_cast<std::int32_t>(events_.size());
        holdLines_[column] = line;
        events_.push_back({tick, key, arrow, kFreezeStart});
        break;
      case u'3':
        // A tail ends its hold even where nothing is stepped.
        if (holds_[column] == kNoHold) break;
        holds_[column] = kNoHold;
        events_.push_back({tick, key, arrow, kFreezeEnd});
        break;
      default:
        break;  // mines, fakes, keysounds and anything else step on nothing
    }
  }

  void Unclosed(std::int32_t line) {
    errors_.Add(line, u"ロングノートの始まりに終わりがないので、取り除きました。");
  }

  const ChartMode mode_;
  const TickRanges& warps_;
  const TickRanges& fakes_;
  ErrorText& errors_;
  std::vector<Event> events_;
  std::vector<Row> rows_;
  // The event of each column's open hold head, and the line of its row.
  std::array<std::int32_t, kMaxColumns> holds_{};
  std::array<std::int32_t, kMaxColumns> holdLines_{};
  std::int64_t measure_ = 0;
  bool ended_ = false;
};

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

void ReadNoteData(std::u16string_view data, std::int32_t firstLine, ChartMode mode,
                  const TickRanges& warps, const TickRanges& fakes, Score& score,
                  ErrorText& errors) {
  NoteDataReader reader(mode, warps, fakes, errors);
  reader.Read(data, firstLine);
  reader.Fill(score);
}

}  // namespace pavaneflow
