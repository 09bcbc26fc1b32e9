#include "chart/simfile_reader.h"

#include <memory>
#include <utility>

#include "chart/dwi_numbers.h"
#include "chart/dwi_text.h"
#include "chart/tick_ranges.h"

namespace pavaneflow {

namespace {

// Games of the current generation read a file without #VERSION as this one.
constexpr double kCurrentVersion = 0.83;
// From this version on a chart may have its own timing and #WARPS gives lengths.
constexpr double kSplitTimingVersion = 0.70;
constexpr std::size_t kSmNotesParams = 6;

struct StepsType {
  std::u16string_view name;
  ChartMode mode;
  std::u16string_view word;
};
constexpr StepsType kStepsTypes[] = {
    {u"dance-single", kSingle, u"SINGLE"},
    {u"dance-double", kDouble, u"DOUBLE"},
    {u"dance-couple", kCouple, u"COUPLE"},
};

std::u16string Lowered(std::u16string_view text) {
  std::u16string lower(text);
  for (char16_t& c : lower) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return lower;
}

// The difficulty as the games name it, old names included; anything unknown is an edit.
std::u16string_view DifficultyName(std::u16string_view text) {
  struct Alias {
    std::u16string_view alias;
    std::u16string_view name;
  };
  static constexpr Alias kAliases[] = {
      {u"beginner", u"BEGINNER"}, {u"easy", u"EASY"},         {u"basic", u"EASY"},
      {u"light", u"EASY"},        {u"medium", u"MEDIUM"},     {u"another", u"MEDIUM"},
      {u"trick", u"MEDIUM"},      {u"standard", u"MEDIUM"},   {u"difficult", u"MEDIUM"},
      {u"hard", u"HARD"},         {u"ssr", u"HARD"},          {u"maniac", u"HARD"},
      {u"heavy", u"HARD"},        {u"smaniac", u"CHALLENGE"}, {u"challenge", u"CHALLENGE"},
      {u"expert", u"CHALLENGE"},  {u"oni", u"CHALLENGE"},     {u"edit", u"EDIT"},
  };
  const std::u16string lower = Lowered(text);
  for (const Alias& alias : kAliases) {
    if (lower == alias.alias) return alias.name;
  }
  return u"EDIT";
}

std::u16string Param(const SimfileTag& tag, std::size_t index) {
  return index < tag.params.size() ? tag.params[index] : std::u16string();
}

}  // namespace

SimfileReader::SimfileReader(SongDocument& song, LineSource& input, ChartFormat format)
    : song_(song), tokenizer_(input, this), format_(format), songTiming_(format) {}

bool SimfileReader::TakesLines(std::u16string_view name, std::size_t index) {
  if (name != u"NOTES") return false;
  if (format_ == ChartFormat::kSm && index + 1 == kSmNotesParams) {
    // The chart is made here; SmNotes fills in its other parameters once the tag has ended.
    notes_ = &charts_.emplace_back(format_).notes;
    return true;
  }
  if (format_ == ChartFormat::kSsc && index == 0 && inChart_) {
    notes_ = &charts_.back().notes;
    return true;
  }
  return false;
}

void SimfileReader::TakeLine(std::u16string_view text, std::int32_t line) {
  notes_->AddLine(text, line);
}

bool SimfileReader::OldWarps() const {
  return format_ == ChartFormat::kSsc && version_ >= 0.0 && version_ < kSplitTimingVersion;
}

void SimfileReader::Read() {
  song_.format = format_;
  SimfileTag tag;
  while (tokenizer_.Next(tag)) {
    if (format_ == ChartFormat::kSsc && tag.name == u"NOTEDATA") {
      charts_.emplace_back(format_);
      charts_.back().typeLine = tag.line;
      inChart_ = true;
    } else if (inChart_) {
      ChartTag(charts_.back(), tag);
    } else if (format_ == ChartFormat::kSm && tag.name == u"NOTES") {
      SmNotes(tag);
    } else {
      SongTag(tag);
    }
  }

  auto timing =
      std::make_shared<const SimfileTiming>(songTiming_.Build(songTiming_.Offset(), true, errors_));
  song_.bpm = timing->tempos.front().bpm;
  constexpr double kMillisecondsPerSecond = 1000.0;
  constexpr double kLimit = 2147483647.0;
  const double gap = -timing->offset * kMillisecondsPerSecond;
  song_.gap = static_cast<std::int32_t>(gap > kLimit ? kLimit : gap < -kLimit ? -kLimit : gap);
  song_.simfileTiming = timing;
  for (Chart& chart : charts_) AddScore(chart, timing);
}

void SimfileReader::SongTag(const SimfileTag& tag) {
  const std::u16string_view name = tag.name;
  if (name == u"TITLE") {
    song_.title = Param(tag, 0);
  } else if (name == u"SUBTITLE") {
    song_.subtitle = Param(tag, 0);
  } else if (name == u"ARTIST") {
    song_.artist = Param(tag, 0);
  } else if (name == u"TITLETRANSLIT") {
    song_.titleTranslit = Param(tag, 0);
  } else if (name == u"ARTISTTRANSLIT") {
    song_.artistTranslit = Param(tag, 0);
  } else if (name == u"MUSIC") {
    song_.file = Param(tag, 0);
  } else if (name == u"VERSION" && format_ == ChartFormat::kSsc) {
    double version = 0.0;
    if (ParseWholeNumber(Param(tag, 0), version)) version_ = version;
  } else if (SimfileTimingTags::IsTimingTag(name)) {
    songTiming_.Read(tag, OldWarps(), errors_);
  }
}

void SimfileReader::ChartTag(Chart& chart, const SimfileTag& tag) {
  const std::u16string_view name = tag.name;
  if (name == u"STEPSTYPE") {
    chart.stepsType = Param(tag, 0);
    chart.typeLine = tag.line;
  } else if (name == u"DESCRIPTION") {
    chart.description = Param(tag, 0);
  } else if (name == u"CHARTNAME") {
    chart.chartName = Param(tag, 0);
  } else if (name == u"DIFFICULTY") {
    chart.difficulty = Param(tag, 0);
  } else if (name == u"METER") {
    chart.meter = Param(tag, 0);
  } else if (SimfileTimingTags::IsTimingTag(name)) {
    chart.timing.Read(tag, OldWarps(), errors_);
  } else if (name == u"NOTES") {
    chart.notes.Finish();
    notes_ = nullptr;
    inChart_ = false;
  }
}

void SimfileReader::SmNotes(const SimfileTag& tag) {
  if (tag.params.size() < kSmNotesParams) {
    errors_.Add(tag.line, ProblemKind::kTooFewValues, {u"NOTES"});
    return;
  }
  Chart& chart = charts_.back();
  chart.notes.Finish();
  notes_ = nullptr;
  chart.stepsType = tag.params[0];
  chart.typeLine = tag.line;
  chart.description = tag.params[1];
  chart.difficulty = tag.params[2];
  chart.meter = tag.params[3];
}

void SimfileReader::AddScore(Chart& chart, const std::shared_ptr<const SimfileTiming>& songTiming) {
  const StepsType* type = nullptr;
  for (const StepsType& known : kStepsTypes) {
    if (Lowered(chart.stepsType) == known.name) type = &known;
  }
  if (type == nullptr) {
    errors_.Add(chart.typeLine, ProblemKind::kUnsupportedChartType, {chart.stepsType});
    return;
  }

  std::shared_ptr<const SimfileTiming> timing = songTiming;
  const bool split = format_ == ChartFormat::kSsc &&
                     (version_ < 0.0 ? kCurrentVersion : version_) >= kSplitTimingVersion;
  if (split && chart.timing.HasOwnTiming()) {
    const double offset = chart.timing.HasOffset() ? chart.timing.Offset() : songTiming->offset;
    timing = std::make_shared<const SimfileTiming>(chart.timing.Build(offset, false, errors_));
  }

  auto score = std::make_unique<Score>();
  score->name.assign(type->word).append(u" ").append(DifficultyName(chart.difficulty));
  score->mode = type->mode;
  score->meter = ParseGap(chart.meter);
  score->description = chart.description.empty() ? chart.chartName : chart.description;
  score->simfileTiming = timing;
  chart.notes.Fill(type->mode, TickRanges(timing->warps), TickRanges(timing->fakes), *score,
                   errors_);
  song_.scores.push_back(std::move(score));
}

}  // namespace pavaneflow
