#include "cli/reading_report.h"

#include <algorithm>
#include <vector>

#include "cli/problem_line.h"
#include "cli/terminal_text.h"
#include "cli/translation.h"

namespace pavaneflow::cli {
namespace {

// The charts of other games (pump-single, kb7-single, ...) a simfile holds: a pack has many, and
// one line per chart buried what the user needs to read. Their count and their distinct types in
// the order first met; the other problems stay in `problems`.
struct OtherGames {
  std::int64_t count = 0;
  std::string types;
};

OtherGames TakeOtherGames(std::vector<const ReadingProblem*>& problems) {
  OtherGames other;
  std::vector<std::u16string_view> seen;
  std::erase_if(problems, [&](const ReadingProblem* problem) {
    if (problem->kind != ProblemKind::kUnsupportedChartType) return false;
    ++other.count;
    const std::u16string_view type =
        problem->arguments.empty() ? std::u16string_view() : problem->arguments.front();
    if (std::find(seen.begin(), seen.end(), type) == seen.end()) {
      seen.push_back(type);
      other.types += (other.types.empty() ? "" : ", ") + TerminalText(type);
    }
    return true;
  });
  return other;
}

}  // namespace

std::string ReadingReport(std::string_view file, const DWIDocument& song, bool allErrors) {
  std::string out;
  auto line = [&](std::string_view text) {
    out.append(file).append(": ").append(text);
    out += '\n';
  };
  std::vector<const ReadingProblem*> problems;
  for (const ReadingProblem& problem : song.LastProblems()) problems.push_back(&problem);
  const OtherGames otherGames = allErrors ? OtherGames() : TakeOtherGames(problems);
  const std::size_t shown =
      allErrors ? problems.size() : std::min<std::size_t>(problems.size(), kShownProblems);
  for (std::size_t i = 0; i < shown; ++i) line(ProblemLine(*problems[i]));
  if (otherGames.count > 0) {
    line(Fill(TrN("{1} chart of another game skipped: {2}",
                  "{1} charts of other games skipped: {2}", otherGames.count),
              {std::to_string(otherGames.count), otherGames.types}));
  }
  const auto kept = static_cast<std::int64_t>(song.LastProblems().size());
  if (allErrors) {
    // Past the reader's own limit only a count of the rest is left.
    if (song.LastErrorCount() > kept) {
      line(OmittedProblemsLine(song.LastErrorCount() - kept));
    }
  } else if (const std::int64_t more =
                 song.LastErrorCount() - otherGames.count - static_cast<std::int64_t>(shown);
             more > 0) {
    line(Fill(TrN("... and {1} more problem (--all-errors prints them all)",
                  "... and {1} more problems (--all-errors prints them all)", more),
              {std::to_string(more)}));
  }
  if (song.Timing() == ChartTiming::kClassic && song.LastGameReadableCount() > 0) {
    line(Fill(Tr("hint: --timing game reads {1} of these places (tempo changes, stops, "
                 "brackets, blanks, comments) as dance games do"),
              {std::to_string(song.LastGameReadableCount())}));
  }
  return out;
}

void AddAllErrorsFlag(CLI::App& command, bool& allErrors) {
  command.add_flag("--all-errors", allErrors,
                   Fill(Tr("Print every reading problem, not only the first {1}"),
                        {std::to_string(kShownProblems)}));
}

}  // namespace pavaneflow::cli
