#pragma once

#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chart/chart_timing.h"
#include "chart/chart_types.h"
#include "chart/line_source.h"
#include "chart/lookahead_line_source.h"
#include "chart/reading_problem.h"
#include "chart/score.h"
#include "chart/song_document.h"
#include "chart/step_arrows.h"

namespace pavaneflow {

// Reads a DWI step file into a SongDocument: header tags, chart bodies and one numbered error
// entry per place it cannot read. Never stops and never throws for bad content; only the line
// source throws (FileError) when the input itself cannot be read.
//
// The cursor sees the input as one stream of UTF-16 code units in which line breaks do not exist;
// a NUL ends its line. The chart state (lane, offset, ticks, step length, open freezes) lives here
// and is partly carried from one chart to the next on purpose.
//
// The timing, chosen once per read, decides the rules: classic, or game timing, which also reads
// tempo changes and stops, gives every bracket its length, reads "<...>" jump groups, ends an
// unterminated value at the next line that starts a tag, and passes over blanks and "//"
// comments in chart bodies. Game-timing chart bodies take their own path (dwi_reader_game.cpp).
class DWIReader {
 public:
  // At most this many error entries are kept; the rest are only counted, and one last entry
  // says how many were left out.
  static constexpr std::int64_t kMaxErrorEntries = 10000;

  DWIReader(SongDocument& document, LineSource& input, ChartTiming timing = ChartTiming::kClassic);

  // Reads the whole input, dispatching every tag that follows a "#".
  void ReadTags();
  // Reads one tag, the cursor just after its "#"; false when the name is empty.
  bool ReadTag();
  // Reads one chart body into a new Score named `word` + " " + difficulty.
  void ReadChart(ChartMode mode, std::u16string_view word);
  // The arrows stepped by DWI character `c`; an unsupported character adds an error entry and
  // steps on nothing.
  StepArrows ArrowsFor(char16_t c);

  // Takes characters up to `delimiter` (consumed, not stored) or the end of input into `out`,
  // trimmed; true if any character came before the delimiter.
  bool ReadUntil(std::u16string& out, char16_t delimiter);
  // Takes the next character; false at the end of input.
  bool ReadChar(char16_t& out);
  // Takes characters up to and including the next ";"; false at the end of input.
  bool SkipValue();
  // Counts a problem on `line` and keeps its record unless kMaxErrorEntries are kept already.
  void AddProblem(std::int32_t line, ProblemKind kind, std::vector<std::u16string> arguments);

  // The problems kept, in the order they were found.
  const std::vector<ReadingProblem>& Problems() const { return problems_; }
  // How many problems were found, those left out of the text included.
  std::int64_t ErrorCount() const { return errorCount_; }
  // How many of them game timing reads without a problem (tempo changes, stops, its brackets,
  // blanks, comments); counted in classic reading only.
  std::int64_t GameReadableCount() const { return gameReadableCount_; }
  std::int32_t LineNumber() const { return lineNumber_; }

 private:
  // The advance rule: the next character, reading further lines as needed; false at the end of
  // input (each attempt past the end still counts one more line).
  bool Next(char16_t& c);
  // Past the end of the current line: reads the next one. False at the end of input.
  bool NextLine();
  // NextLine inside a tag's value. In game timing a line that starts a tag also ends the value:
  // false then, with that line current from its start and valueCut_ set.
  bool NextValueLine();
  // Reports a #BPM value on `line` that is no positive finite tempo.
  void CheckTempo(std::int32_t line, std::u16string_view value);
  // Stores the value of header tag `name` (one of TITLE, ARTIST, BPM, FILE, GAP).
  void StoreHeader(std::u16string_view name, std::u16string& value);
  // Reads the chart characters up to ";" or the end of input.
  void ReadChartBody(Score& score, ChartMode mode);
  // Reads the run of step characters and step-length brackets ("(", ")", "]") at the cursor, up
  // to the first other character or the end of the line: nearly every character of a chart is
  // a step, and this loop is the reader's hot path.
  void ReadSteps(Score& score);
  // Reads one character that is no other token: a step, or an unsupported character.
  void ReadStep(Score& score, char16_t c);
  // Makes `arrows` freeze starts on the Frame of the latest step, and opens their freezes.
  void StartFreezes(Score& score, StepArrows arrows);
  // A ":" in a chart body: the next pad of a DOUBLE chart, else the next player's Lane; time
  // starts again at tick 0 with plain steps.
  void NextSection(Score& score, ChartMode mode);
  // Puts `arrows` (not empty) on the Frame at `tick`, ending open freezes.
  void AddStep(Score& score, Tick tick, StepArrows arrows);
  // Puts `arrows` (not empty) on `frame`, ending open freezes.
  void PutStep(Frame& frame, StepArrows arrows);
  // Makes `arrows` freeze ends on `frame` where a freeze of theirs is open, and closes it.
  void EndFreezes(Frame& frame, StepArrows arrows);
  // The Frames of lane_, finding the Lane first if need be.
  FrameList& LaneFrames(Score& score);
  void AddUnsupported(char16_t c);
  // Whether game timing reads the character `c` that classic reading just reported, the one
  // before the cursor.
  bool GameReads(char16_t c) const;

  // Game timing (dwi_reader_game.cpp).
  // Reads a "#CHANGEBPM", "#BPMCHANGE" or "#FREEZE" value into the document's tempo changes or
  // stops; bad entries are reported on `line`.
  void ReadTimingTag(std::u16string_view name, std::int32_t line);
  void ReadGameChartBody(Score& score, ChartMode mode);
  // The next character of a game-timing chart body, blanks and comments left out; false where
  // the value ends (end of input or a line that starts a tag).
  bool NextBodyChar(char16_t& c);
  // Whether the "<" just read opens a jump group: a ">" comes before the next "0", ";", end of
  // the value or end of input.
  bool OpensJumpGroup();
  // A step character of a game-timing chart body: a step, a "5" rest or an unsupported
  // character, taking no time inside a jump group.
  void ReadGameStep(Score& score, char16_t c, bool inGroup);

  std::unique_ptr<LookaheadLineSource> lookahead_;  // game timing only
  SongDocument& document_;
  LineSource& input_;
  std::int32_t lineNumber_ = 0;
  // The line being read, as the line source hands it out.
  std::u16string_view line_;
  std::size_t column_ = 0;

  std::int32_t laneKey_ = 0;
  // The Lane of laneKey_ in the chart being read, once a step has needed it: saves a lookup per
  // step. Null whenever the key or the Score changes.
  Lane* lane_ = nullptr;
  std::int32_t arrowOffset_ = 0;
  Tick currentTick_ = 0;
  Tick lastStepTick_ = 0;
  std::int32_t stepLength_ = 24;
  // Freezes started and not yet ended, by ArrowCode: only membership matters.
  std::bitset<65536> pendingFreezes_;
  // How many bits of pendingFreezes_ are set: most steps end no freeze and need not look.
  std::size_t pendingCount_ = 0;
  // Bit (code % 64) of every pending freeze's ArrowCode, cleared when none is left: a step whose
  // arrows miss it ends no freeze, which spares nearly every step inside a freeze the lookup.
  std::uint64_t pendingMask_ = 0;

  std::vector<ReadingProblem> problems_;
  std::int64_t errorCount_ = 0;
  std::int64_t gameReadableCount_ = 0;

  // Only game timing acts on what follows; kept behind the classic reading's state.
  const bool gameTiming_;
  // Set while a tag's value is read: in game timing a line that starts a tag then ends it.
  bool inValue_ = false;
  // The value being read was ended by a line that starts a tag, which is now current.
  bool valueCut_ = false;
  // The game-timing chart body line being read, blanks and comment removed, and the position in
  // it.
  std::u16string bodyLine_;
  std::size_t bodyColumn_ = 0;
  // The answer of the last jump-group look-ahead holds for every "<" before the place where it
  // stopped: many "<" without ">" then cost one scan, not one each.
  std::int32_t lookEndLine_ = 0;
  std::size_t lookEndColumn_ = 0;
  bool lookFoundGroup_ = false;
  bool lookValid_ = false;
};

}  // namespace pavaneflow
