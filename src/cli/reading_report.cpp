#include "cli/reading_report.h"

#include "cli/terminal_text.h"
#include "cli/translation.h"

namespace pavaneflow::cli {

std::string ReadingReport(std::string_view file, const DWIDocument& song, bool allErrors) {
  const std::u16string_view errors = song.LastErrors();
  std::string out;
  std::int64_t shown = 0;
  for (std::size_t start = 0; start < errors.size(); ++shown) {
    if (!allErrors && shown == kShownProblems) break;
    std::size_t end = errors.find(u"\r\n", start);
    if (end == std::u16string_view::npos) end = errors.size();
    out.append(file).append(": ").append(TerminalText(errors.substr(start, end - start)));
    out += '\n';
    start = end + 2;
  }
  const std::int64_t more = song.LastErrorCount() - shown;
  if (!allErrors && more > 0) {
    out.append(file).append(": ");
    out += Fill(TrN("... and {1} more problem (--all-errors prints them all)",
                    "... and {1} more problems (--all-errors prints them all)", more),
                {std::to_string(more)});
    out += '\n';
  }
  if (song.Timing() == ChartTiming::kClassic && song.LastGameReadableCount() > 0) {
    out.append(file).append(": ");
    const std::int64_t readable = song.LastGameReadableCount();
    out += Fill(Tr("hint: --timing game reads {1} of these places (tempo changes, stops, "
                   "brackets, blanks, comments) as dance games do"),
                {std::to_string(readable)});
    out += '\n';
  }
  return out;
}

void AddAllErrorsFlag(CLI::App& command, bool& allErrors) {
  command.add_flag("--all-errors", allErrors,
                   Fill(Tr("Print every reading problem, not only the first {1}"),
                        {std::to_string(kShownProblems)}));
}

}  // namespace pavaneflow::cli
