#include "cli/info_command.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/file_error.h"
#include "chart/dwi_document.h"
#include "chart/problem_text.h"
#include "cli/file_problem.h"
#include "cli/json.h"
#include "cli/mode_name.h"
#include "cli/not_a_chart.h"
#include "cli/reading_report.h"
#include "cli/setup_options.h"
#include "cli/terminal_text.h"
#include "motion/setup/open_song.h"
#include "motion/setup/song_folders.h"
#include "vmd/vmd_signature.h"

namespace pavaneflow::cli {

namespace {

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

// The shortest text that reads back as `value`, whatever the locale.
void AppendShortest(std::string& out, double value) {
  char digits[32];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

std::string Summary(const DWIDocument& song) {
  std::string out = "title: " + TerminalText(song.title) + "\nartist: " + TerminalText(song.artist);
  out += "\nbpm: ";
  AppendBpm(out, song.bpm);
  out += "\ngap: ";
  AppendNumber(out, song.gap);
  out += '\n';
  // Only game timing and simfiles add lines: the classic summary stays as it always was.
  const SimfileTiming* timing = song.simfileTiming.get();
  if (timing != nullptr) {
    out += "format: ";
    out += ChartFormatName(song.format);
    out += " (offset ";
    AppendShortest(out, timing->offset);
    out += " s, tempo changes: ";
    AppendNumber(out, timing->tempos.size());
    out += ", stops: ";
    AppendNumber(out, timing->stops.size());
    out += ", delays: ";
    AppendNumber(out, timing->delays.size());
    out += ", warps: ";
    AppendNumber(out, timing->warps.size());
    out += ")\n";
  } else if (song.Timing() == ChartTiming::kGame) {
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
    out += ": " + TerminalText(score->name) + " (" + ModeName(score->mode) + "), meter ";
    AppendNumber(out, score->meter);
    if (timing != nullptr) {
      if (!score->description.empty()) out += ", " + TerminalText(score->description);
      if (score->simfileTiming.get() != timing) out += ", own timing";
    }
    out += '\n';
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

// A simfile's tempos and stops in the fields of game timing.
void AppendSimfileEvents(std::string& out, const SimfileTiming& timing) {
  out += ", \"tempos\": [";
  for (std::size_t i = 0; i < timing.tempos.size(); ++i) {
    out += i == 0 ? "{\"tick\": " : ", {\"tick\": ";
    AppendNumber(out, timing.tempos[i].tick);
    out += ", \"bpm\": ";
    AppendJsonFloat(out, timing.tempos[i].bpm);
    out += '}';
  }
  out += "], \"stops\": [";
  constexpr double kMillisecondsPerSecond = 1000.0;
  for (std::size_t i = 0; i < timing.stops.size(); ++i) {
    out += i == 0 ? "{\"tick\": " : ", {\"tick\": ";
    AppendNumber(out, timing.stops[i].tick);
    out += ", \"ms\": ";
    AppendJsonDouble(out, timing.stops[i].seconds * kMillisecondsPerSecond);
    out += '}';
  }
  out += ']';
}

// "delays": [{"tick": n, "seconds": n}], "warps": [{"beat": n, "length": n}], both empty without
// a simfile's timing.
void AppendDelaysAndWarps(std::string& out, const SimfileTiming* timing) {
  out += ", \"delays\": [";
  for (std::size_t i = 0; timing != nullptr && i < timing->delays.size(); ++i) {
    out += i == 0 ? "{\"tick\": " : ", {\"tick\": ";
    AppendNumber(out, timing->delays[i].tick);
    out += ", \"seconds\": ";
    AppendJsonDouble(out, timing->delays[i].seconds);
    out += '}';
  }
  out += "], \"warps\": [";
  for (std::size_t i = 0; timing != nullptr && i < timing->warps.size(); ++i) {
    out += i == 0 ? "{\"beat\": " : ", {\"beat\": ";
    AppendJsonDouble(out, timing->warps[i].start);
    out += ", \"length\": ";
    AppendJsonDouble(out, timing->warps[i].length);
    out += '}';
  }
  out += ']';
}

// What only simfiles give: "format", "offset" (seconds; -GAP for DWI), "delays", "warps".
void AppendFormat(std::string& out, const SongDocument& song) {
  out += ", \"format\": \"";
  out += ChartFormatName(song.format);
  out += "\", \"offset\": ";
  const SimfileTiming* timing = song.simfileTiming.get();
  constexpr double kMillisecondsPerSecond = 1000.0;
  AppendJsonDouble(out, timing != nullptr
                            ? timing->offset
                            : 0.0 - static_cast<double>(song.gap) / kMillisecondsPerSecond);
  AppendDelaysAndWarps(out, timing);
}

// A chart's own timing, which it dances to instead of the song's: "offset", "tempos", "stops",
// "delays", "warps".
void AppendOwnTiming(std::string& out, const SimfileTiming& timing) {
  out += ", \"offset\": ";
  AppendJsonDouble(out, timing.offset);
  AppendSimfileEvents(out, timing);
  AppendDelaysAndWarps(out, &timing);
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
  out += song.simfileTiming != nullptr ? "simfile" : TimingName(song.Timing());
  out += '"';
  if (song.simfileTiming != nullptr) {
    AppendSimfileEvents(out, *song.simfileTiming);
  } else {
    AppendTimingEvents(out, song);
  }
  AppendFormat(out, song);
  out += ", \"errors\": [";
  const char* separator = "";
  auto entry = [&](std::u16string_view text) {
    out += separator;
    AppendJsonString(out, text);
    separator = ", ";
  };
  for (const ReadingProblem& problem : song.LastProblems()) entry(ProblemText(problem));
  const auto kept = static_cast<std::int64_t>(song.LastProblems().size());
  if (song.LastErrorCount() > kept) entry(OmittedProblemsText(song.LastErrorCount() - kept));
  out += "], \"scores\": [";
  for (std::size_t s = 0; s < song.scores.size(); ++s) {
    const Score& score = *song.scores[s];
    out += s == 0 ? "{\"name\": " : ", {\"name\": ";
    AppendJsonString(out, score.name);
    out += ", \"mode\": ";
    AppendNumber(out, score.mode);
    out += ", \"meter\": ";
    AppendNumber(out, score.meter);
    out += ", \"description\": ";
    AppendJsonString(out, score.description);
    if (score.simfileTiming != nullptr && score.simfileTiming != song.simfileTiming) {
      AppendOwnTiming(out, *score.simfileTiming);
    }
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

// The summary or JSON of the file at `path` into `out`; false (reported) when it cannot be read.
bool Describe(const InfoOptions& options, const std::filesystem::path& path, std::string& out) {
  if (IsVmdFile(path)) {
    PrintError(NotAChartMessage(path));
    return false;
  }
  DWIDocument song;
  if (!OpenSong(song, path, options.setup)) {
    PrintError(OpenProblem(path, song));
    return false;
  }
  std::string report = ReadingReport(path.string(), song, options.allErrors);
  if (song.scores.empty()) {
    report += NoChartMessage(path) + '\n';
  } else if (!song.HasUsableTempo()) {
    report += NoTempoMessage(path) + '\n';
  }
  std::fwrite(report.data(), 1, report.size(), stderr);
  out += options.json ? Json(song) : Summary(song);
  return true;
}

// Every song beneath a folder: in the summary each after a "song: <file>" line and a blank line
// between them; as JSON an array of the songs' objects. A song that cannot be read is reported
// and left out.
bool DescribeSongs(const InfoOptions& options, std::string& out) {
  const std::vector<SongInFolder> songs = FindSongs(options.file);
  bool read = !songs.empty();
  if (songs.empty()) {
    PrintError(NoSongsMessage(options.file));
  }
  if (options.json) out += '[';
  bool first = true;
  for (const SongInFolder& song : songs) {
    std::string one;
    if (!Describe(options, song.file, one)) {
      read = false;
      continue;
    }
    if (options.json) {
      one.pop_back();  // the line end
      out += first ? "" : ",\n";
    } else {
      out += first ? "song: " : "\nsong: ";
      out += song.file.string() + '\n';
    }
    out += one;
    first = false;
  }
  if (options.json) out += "]\n";
  return read;
}

}  // namespace

int RunInfo(const InfoOptions& options) {
  std::string out;
  const bool read = IsSongFolder(options.file) ? DescribeSongs(options, out)
                                               : Describe(options, options.file, out);
  if (out.empty()) return 1;
  errno = 0;
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    const int error = errno;
    PrintError(FileProblem(FileError::FromErrno("standard output", error != 0 ? error : EIO)));
    return 1;
  }
  return read ? 0 : 1;
}

}  // namespace pavaneflow::cli
