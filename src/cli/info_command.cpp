#include "cli/info_command.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <string_view>

#include "base/file_error.h"
#include "chart/dwi_document.h"
#include "cli/file_problem.h"
#include "cli/json.h"
#include "cli/mode_name.h"
#include "cli/not_a_chart.h"
#include "cli/reading_report.h"
#include "cli/terminal_text.h"
#include "cli/timing_option.h"
#include "vmd/vmd_signature.h"

namespace pavaneflow::cli {

namespace {

// The entries of an error text, without their "\r\n" separators.
template <typename Visit>
void ForEachEntry(std::u16string_view text, Visit visit) {
  if (text.empty()) return;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find(u"\r\n", start);
    visit(text.substr(start, end - start));
    if (end == std::u16string_view::npos) return;
    start = end + 2;
  }
}

template <typename Number>
void AppendNumber(std::string& out, Number value) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// "%3.3f", whatever the locale.
void AppendBpm(std::string& out, float bpm) {
  // Wide enough for the largest float in fixed notation.
  char digits[64];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, static_cast<double>(bpm),
                                   std::chars_format::fixed, 3)
                         .ptr);
}

std::string Summary(const DWIDocument& song) {
  std::string out = "title: " + TerminalText(song.title) + "\nartist: " + TerminalText(song.artist);
  out += "\nbpm: ";
  AppendBpm(out, song.bpm);
  out += "\ngap: ";
  AppendNumber(out, song.gap);
  out += '\n';
  // Only game timing adds a line: the classic summary stays as it always was.
  if (song.Timing() == ChartTiming::kGame) {
    out += "timing: game (tempo changes: ";
    AppendNumber(out, song.tempos.size());
    out += ", stops: ";
    AppendNumber(out, song.stops.size());
    out += ")\n";
  }
  int number = 0;
  for (const auto& score : song.scores) {
    out += "chart ";
    AppendNumber(out, ++number);
    out += ": " + TerminalText(score->name) + " (" + ModeName(score->mode);
    if (!score->rating.empty()) out += ", rating " + TerminalText(score->rating);
    out += ")\n";
    for (const auto& lane : score->lanes) {
      std::size_t notes = 0;
      for (const Frame& frame : lane->frames) notes += frame.notes.size();
      out += "  lane ";
      AppendNumber(out, lane->key);
      out += ": ";
      AppendNumber(out, lane->frames.size());
      out += " rows, ";
      AppendNumber(out, notes);
      out += " notes\n";
    }
  }
  // Charts of a kind the reader skips: the file holds more than the list above.
  if (!song.skippedCharts.empty()) {
    out += "skipped:";
    const char* separator = " ";
    for (const SkippedChart& skipped : song.skippedCharts) {
      out += separator + TerminalText(skipped.tag) + " ×";
      AppendNumber(out, skipped.count);
      separator = ", ";
    }
    out += '\n';
  }
  return out;
}

// The tempo changes and stops: "tempos": [{"tick": n, "bpm": n}, ...], "stops": [...].
void AppendTimingEvents(std::string& out, const SongDocument& song) {
  out += ", \"tempos\": [";
  for (std::size_t i = 0; i < song.tempos.size(); ++i) {
    out += i == 0 ? "{\"tick\": " : ", {\"tick\": ";
    AppendNumber(out, song.tempos[i].tick);
    out += ", \"bpm\": ";
    AppendJsonFloat(out, song.tempos[i].bpm);
    out += '}';
  }
  out += "], \"stops\": [";
  for (std::size_t i = 0; i < song.stops.size(); ++i) {
    out += i == 0 ? "{\"tick\": " : ", {\"tick\": ";
    AppendNumber(out, song.stops[i].tick);
    out += ", \"ms\": ";
    AppendJsonDouble(out, song.stops[i].ms);
    out += '}';
  }
  out += ']';
}

std::string Json(const DWIDocument& song) {
  std::string out = "{\"title\": ";
  AppendJsonString(out, song.title);
  out += ", \"artist\": ";
  AppendJsonString(out, song.artist);
  out += ", \"bpm\": ";
  AppendJsonFloat(out, song.bpm);
  out += ", \"file\": ";
  AppendJsonString(out, song.file);
  out += ", \"gap\": ";
  AppendNumber(out, song.gap);
  out += ", \"timing\": \"";
  out += TimingName(song.Timing());
  out += '"';
  AppendTimingEvents(out, song);
  out += ", \"errors\": [";
  const char* separator = "";
  ForEachEntry(song.LastErrors(), [&](std::u16string_view entry) {
    out += separator;
    AppendJsonString(out, entry);
    separator = ", ";
  });
  out += "], \"scores\": [";
  for (std::size_t s = 0; s < song.scores.size(); ++s) {
    const Score& score = *song.scores[s];
    out += s == 0 ? "{\"name\": " : ", {\"name\": ";
    AppendJsonString(out, score.name);
    out += ", \"mode\": ";
    AppendNumber(out, score.mode);
    out += ", \"lanes\": [";
    for (std::size_t l = 0; l < score.lanes.size(); ++l) {
      const Lane& lane = *score.lanes[l];
      out += l == 0 ? "{\"key\": " : ", {\"key\": ";
      AppendNumber(out, lane.key);
      out += ", \"frames\": [";
      bool first = true;
      for (const Frame& frame : lane.frames) {
        out += first ? "{\"tick\": " : ", {\"tick\": ";
        first = false;
        AppendNumber(out, frame.tick);
        out += ", \"notes\": [";
        for (std::size_t n = 0; n < frame.notes.size(); ++n) {
          out += n == 0 ? "{\"arrow\": " : ", {\"arrow\": ";
          AppendNumber(out, static_cast<int>(frame.notes[n].arrow));
          out += ", \"kind\": ";
          AppendNumber(out, static_cast<int>(frame.notes[n].kind));
          out += '}';
        }
        out += "]}";
      }
      out += "]}";
    }
    out += "]}";
  }
  out += "]}\n";
  return out;
}

void PrintError(const std::string& message) {
  const std::string line = message + '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace

int RunInfo(const InfoOptions& options) {
  if (IsVmdFile(options.file)) {
    PrintError(NotAChartMessage(options.file));
    return 1;
  }
  DWIDocument song;
  song.SetTiming(options.timing);
  if (!song.OnOpenDocument(options.file)) {
    PrintError(OpenProblem(options.file, song));
    return 1;
  }

  std::string report = ReadingReport(options.file, song, options.allErrors);
  if (song.scores.empty()) report += NoChartMessage(options.file) + '\n';
  std::fwrite(report.data(), 1, report.size(), stderr);

  const std::string out = options.json ? Json(song) : Summary(song);
  errno = 0;
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    const int error = errno;
    PrintError(FileProblem(FileError::FromErrno("standard output", error != 0 ? error : EIO)));
    return 1;
  }
  return 0;
}

}  // namespace pavaneflow::cli
