#include "cli/info_command.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <string_view>

#include "base/file_error.h"
#include "chart/dwi_document.h"
#include "chart/problem_text.h"
#include "cli/json.h"
#include "cli/setup_options.h"
#include "cli/terminal_text.h"
#include "motion/open_song.h"

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
    out += ": " + TerminalText(score->name) + " (mode ";
    AppendNumber(out, score->mode);
    out += ")\n";
    for (const auto& lane : score->lanes) {
      std::size_t notes = 0;
      for (const Frame& frame : lane->frames) notes += frame.notes.size();
      out += "  lane ";
      AppendNumber(out, lane->key);
      out += ": ";
      AppendNumber(out, lane->frames.size());
      out += " frames, ";
      AppendNumber(out, notes);
      out += " notes\n";
    }
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
  DWIDocument song;
  if (!OpenSong(song, options.file, options.setup)) {
    PrintError(song.OpenError());
    return 1;
  }

  const std::string problems = ReadingProblemLines(options.file, song);
  std::fwrite(problems.data(), 1, problems.size(), stderr);

  const std::string out = options.json ? Json(song) : Summary(song);
  errno = 0;
  std::fwrite(out.data(), 1, out.size(), stdout);
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    const int error = errno;
    PrintError(FileError::FromErrno("standard output", error != 0 ? error : EIO).what());
    return 1;
  }
  return 0;
}

}  // namespace pavaneflow::cli
