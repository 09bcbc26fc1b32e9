#include "cli/reading_report.h"

#include <algorithm>
#include <vector>

#include "chart/problem_text.h"
#include "cli/terminal_text.h"
#include "cli/translation.h"

namespace pavaneflow::cli {

std::string ReadingReport(std::string_view file, const DWIDocument& song, bool allErrors) {
  std::string out;
  auto line = [&](std::string_view text) {
    out.append(file).append(": ").append(text);
    out += '\n';
  };
  const std::vector<ReadingProblem>& problems = song.LastProblems();
  const std::size_t shown =
      allErrors ? problems.size() : std::min<std::size_t>(problems.size(), kShownProblems);
  for (std::size_t i = 0; i < shown; ++i) line(TerminalText(ProblemText(problems[i])));
  const auto kept = static_cast<std::int64_t>(problems.size());
  if (allErrors) {
    // Past the reader's own limit only a count of the rest is left.
    if (song.LastErrorCount() > kept) {
      line(TerminalText(OmittedProblemsText(song.LastErrorCount() - kept)));
    }
  } else if (const std::int64_t more = song.LastErrorCount() - static_cast<std::int64_t>(shown);
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
