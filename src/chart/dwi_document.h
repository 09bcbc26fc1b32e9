#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "chart/chart_format.h"
#include "chart/chart_timing.h"
#include "chart/error_reporter.h"
#include "chart/reading_problem.h"
#include "chart/text_document.h"

namespace pavaneflow {

// The step file document: ReadText runs the DWI reader, or the simfile reader for a simfile,
// shows the error text through the error reporter when there were problems, and clears the
// modified flag.
class DWIDocument : public TextDocument {
 public:
  // Also forgets the error text of the last read.
  void DeleteContents() override;
  // Reads `path` in the format its extension names (ChartFormatOf), whatever SetFormat said.
  bool OnOpenDocument(const std::filesystem::path& path) override;
  void ReadText(LineSource& input) override;

  // The format the next ReadText reads; DWI unless set. The timing applies to DWI only:
  // simfiles are always timed by their own lists.
  void SetFormat(ChartFormat chartFormat) { format_ = chartFormat; }
  ChartFormat Format() const { return format_; }
  bool IsUtf8() const override { return true; }

  // How the next reads read and time the file; classic unless set. Kept across reads.
  void SetTiming(ChartTiming timing) { timing_ = timing; }
  ChartTiming Timing() const { return timing_; }

  // Where the error text goes after reading; null shows nothing. Not owned.
  void SetErrorReporter(ErrorReporter* reporter) { errorReporter_ = reporter; }

  // The problems of the last read, in file order; past DWIReader::kMaxErrorEntries only the first
  // ones are kept.
  const std::vector<ReadingProblem>& LastProblems() const { return lastProblems_; }
  // The error text of the last read, made from them ("N行目:..." entries joined by "\r\n"),
  // empty if none.
  const std::u16string& LastErrors() const { return lastErrors_; }
  // How many problems the last read found, those not kept included.
  std::int64_t LastErrorCount() const { return lastErrorCount_; }
  // How many of them reading in game timing would not report (counted in classic reading).
  std::int64_t LastGameReadableCount() const { return lastGameReadableCount_; }

 private:
  ChartTiming timing_ = ChartTiming::kClassic;
  ChartFormat format_ = ChartFormat::kDwi;
  ErrorReporter* errorReporter_ = nullptr;
  std::vector<ReadingProblem> lastProblems_;
  std::u16string lastErrors_;
  std::int64_t lastErrorCount_ = 0;
  std::int64_t lastGameReadableCount_ = 0;
};

}  // namespace pavaneflow
