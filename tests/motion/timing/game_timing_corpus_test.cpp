#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/dwi_document.h"
#include "motion/classic/run.h"
#include "motion/timing/make_timing_map.h"
#include "support/dwi_fixture.h"
#include "support/vmd_bytes.h"
#include "vmd/vmd_writer.h"

namespace pavaneflow {
namespace {

using test::SerializeVmd;

namespace fs = std::filesystem;

const fs::path kCorpus = PAVANEFLOW_CORPUS_DIR;

// The whole model as text: header values, every Score with its Lanes, tempo changes and stops.
std::string ModelText(const DWIDocument& song) {
  std::string text = test::Utf8(song.title) + "|" + test::Utf8(song.artist) + "|" +
                     std::to_string(song.bpm) + "|" + std::to_string(song.gap) + "\n";
  for (const auto& score : song.scores) {
    text += test::Utf8(score->name) + " " + std::to_string(score->mode) + " " +
            test::ScoreText(*score) + "\n";
  }
  for (const TempoChange& change : song.tempos) {
    text += "tempo " + std::to_string(change.tick) + "=" + std::to_string(change.bpm) + "\n";
  }
  for (const Stop& stop : song.stops) {
    text += "stop " + std::to_string(stop.tick) + "=" + std::to_string(stop.ms) + "\n";
  }
  return text;
}

// Every chart's dance (both players of a COUPLE chart) as VMD bytes, one after the other.
std::vector<std::uint8_t> Dances(const DWIDocument& song) {
  const auto timing = MakeTimingMap(song.Timing(), song);
  std::vector<std::uint8_t> bytes;
  for (const auto& score : song.scores) {
    for (std::int32_t player = 0; player < (score->mode == kCouple ? 2 : 1); ++player) {
      MotionDocument motion;
      Synthesize({&song, score.get(), player, true, timing.get()}, motion);
      const std::vector<std::uint8_t> vmd = SerializeVmd(motion);
      bytes.insert(bytes.end(), vmd.begin(), vmd.end());
    }
  }
  return bytes;
}

// A file that uses nothing game timing reads differently is read and danced alike in both
// timings. The others are known by number, so that a change in either list shows: each uses
// tempo changes, stops, "[" groups, "{" or "`" brackets, or "<" (checked by hand).
TEST(GameTimingCorpus, FilesWithoutGameFeaturesDanceTheSameInBothTimings) {
  if (!fs::is_directory(kCorpus)) GTEST_SKIP() << "no corpus of DWI files at " << kCorpus;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(kCorpus)) {
    if (entry.path().extension() == ".dwi") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());

  std::string differing;
  int same = 0;
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    DWIDocument classic;
    DWIDocument game;
    game.SetTiming(ChartTiming::kGame);
    ASSERT_TRUE(classic.OnOpenDocument(file));
    ASSERT_TRUE(game.OnOpenDocument(file));
    if (ModelText(classic) != ModelText(game)) {
      differing += file.filename().string().substr(0, 3) + " ";
      continue;
    }
    ++same;
    EXPECT_TRUE(Dances(classic) == Dances(game));
  }
  EXPECT_EQ(differing,
            "001 002 004 005 007 010 019 024 028 043 045 048 051 057 058 060 062 076 079 085 ");
  EXPECT_EQ(same, 65);
}

}  // namespace
}  // namespace pavaneflow
