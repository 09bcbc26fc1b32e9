#include "cli/problem_line.h"

#include "chart/problem_text.h"
#include "chart/text_decoder.h"
#include "cli/terminal_text.h"
#include "cli/translation.h"

namespace pavaneflow::cli {
namespace {

// The English patterns of the reading problems; the placeholders are those of ProblemPattern
// ({1} the line, {2} and {3} the record's arguments). Each context ends with the kind's
// ProblemKindName, so that other readers of the catalogue (the web page's build) can find the
// text of a kind; ja.po gives back exactly the core's Japanese.
const char* EnglishPattern(ProblemKind kind) {
  switch (kind) {
    case ProblemKind::kUnsupportedTag:
      return TrP("reading problem unsupported-tag", "line {1}: \"{2}\" is not supported.");
    case ProblemKind::kUnsupportedCharacter:
      return TrP("reading problem unsupported-character", "line {1}: '{2}' is not supported.");
    case ProblemKind::kUnreadableTimingEntry:
      return TrP("reading problem unreadable-timing-entry",
                 "line {1}: \"{3}\" of \"{2}\" could not be read.");
    case ProblemKind::kTooFewValues:
      return TrP("reading problem too-few-values", "line {1}: \"{2}\" has too few values.");
    case ProblemKind::kUnsupportedChartType:
      return TrP("reading problem unsupported-chart-type",
                 "line {1}: charts of type \"{2}\" are not supported.");
    case ProblemKind::kUnclosedHold:
      return TrP("reading problem unclosed-hold",
                 "line {1}: a hold starts here and never ends; it was left out.");
    case ProblemKind::kNoTempo:
      return TrP("reading problem no-tempo", "line {1}: no usable tempo; read at 60 BPM.");
    case ProblemKind::kTempoNotPositive:
      return TrP(
          "reading problem tempo-not-positive",
          "line {1}: the tempo \"{3}\" of \"{2}\" is not a positive number and is not used.");
  }
  return "";
}

std::u16string FromUtf8(const char* text) {
  std::u16string out;
  TextDecoder decoder;
  decoder.Decode(text, out);
  decoder.Finish(out);
  return out;
}

}  // namespace

std::string ProblemLine(const ReadingProblem& problem) {
  return TerminalText(FillProblem(FromUtf8(EnglishPattern(problem.kind)), problem));
}

std::string OmittedProblemsLine(std::int64_t count) {
  return Fill(TrP("reading problem omitted", "further problems left out: {1}."),
              {std::to_string(count)});
}

}  // namespace pavaneflow::cli
