#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "chart/chart_format.h"
#include "chart/line_source.h"
#include "chart/problem_list.h"
#include "chart/simfile_notes.h"
#include "chart/simfile_timing_tags.h"
#include "chart/simfile_tokenizer.h"
#include "chart/song_document.h"

namespace pavaneflow {

// Reads a simfile (.sm or .ssc) into a SongDocument: the song's tags, its timing as the games
// time it, and one Score per chart of a supported step type, each with its meter, description
// and timing. Problems become numbered error entries in file order; reading never stops and never
// throws for bad content (only the line source throws, FileError, when the input cannot be read).
class SimfileReader : private SimfileLineSink {
 public:
  SimfileReader(SongDocument& song, LineSource& input, ChartFormat format);

  void Read();
  const ProblemList& Problems() const { return errors_; }

 private:
  // A chart as its tags give it; its notes are put into a Score once the whole file, and so
  // every timing tag, is known.
  struct Chart {
    explicit Chart(ChartFormat format) : timing(format) {}
    std::u16string stepsType;
    std::int32_t typeLine = 0;
    std::u16string description;
    std::u16string chartName;
    std::u16string difficulty;
    std::u16string meter;
    SimfileTimingTags timing;
    SimfileNotes notes;
  };

  bool TakesLines(std::u16string_view name, std::size_t index) override;
  void TakeLine(std::u16string_view text, std::int32_t line) override;

  void SongTag(const SimfileTag& tag);
  // A tag between an .ssc chart's #NOTEDATA and its #NOTES.
  void ChartTag(Chart& chart, const SimfileTag& tag);
  // An .sm #NOTES: the whole chart in one tag.
  void SmNotes(const SimfileTag& tag);
  void AddScore(Chart& chart, const std::shared_ptr<const SimfileTiming>& songTiming);
  bool OldWarps() const;

  SongDocument& song_;
  SimfileTokenizer tokenizer_;
  const ChartFormat format_;
  ProblemList errors_;
  SimfileTimingTags songTiming_;
  double version_ = -1.0;  // none given
  std::vector<Chart> charts_;
  bool inChart_ = false;  // .ssc: after #NOTEDATA, before its #NOTES
  // The chart whose note data the tokenizer is handing over, or null.
  SimfileNotes* notes_ = nullptr;
};

}  // namespace pavaneflow
