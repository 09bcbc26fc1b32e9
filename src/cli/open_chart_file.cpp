#include "cli/open_chart_file.h"

#include "cli/file_problem.h"
#include "cli/not_a_chart.h"
#include "cli/reading_report.h"
#include "motion/setup/open_song.h"
#include "vmd/vmd_signature.h"

namespace pavaneflow::cli {

ChartFile OpenChartFile(DWIDocument& song, const std::filesystem::path& file,
                        const DanceSetup& setup, bool allErrors, std::ostream& err,
                        std::string& problem) {
  if (IsVmdFile(file)) {
    problem = NotAChartMessage(file);
    return ChartFile::kNotRead;
  }
  if (!OpenSong(song, file, setup)) {
    problem = OpenProblem(file, song);
    return ChartFile::kNotRead;
  }
  err << ReadingReport(file.string(), song, allErrors);
  if (song.scores.empty()) {
    problem = NoChartMessage(file);
    return ChartFile::kNoChart;
  }
  if (!song.HasUsableTempo()) {
    problem = NoTempoMessage(file);
    return ChartFile::kNoTempo;
  }
  return ChartFile::kOpened;
}

}  // namespace pavaneflow::cli
