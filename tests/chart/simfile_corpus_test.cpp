#include <filesystem>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "chart/dwi_document.h"

namespace pavaneflow {
namespace {

const std::filesystem::path kCorpus = PAVANEFLOW_SM_CORPUS_DIR;

#define SKIP_WITHOUT_CORPUS()                                        \
  if (!std::filesystem::is_directory(kCorpus)) {                     \
    GTEST_SKIP() << "no corpus of simfiles at " << kCorpus.string(); \
  }

// What each corpus simfile's note text holds (scripts/simfile-counts): the charts of step types
// that are danced, their stepped notes (hold and roll tails included) and their holds.
struct Counts {
  int charts = 0;
  int notes = 0;
  int holds = 0;
  friend bool operator==(const Counts&, const Counts&) = default;
};
struct Pinned {
  const char* path;
  int charts, notes, holds;
};
constexpr Pinned kPinned[] = {
    {"club-fantastic/Club Fantastic Season 1/BACK UP/backup.ssc", 6, 2151, 130},
    {"club-fantastic/Club Fantastic Season 1/BOSSY/bossy.ssc", 6, 3088, 330},
    {"club-fantastic/Club Fantastic Season 1/COOL_EXCEPTION/cool_exception.ssc", 6, 4090, 349},
    {"club-fantastic/Club Fantastic Season 1/Can't You Bounce/bounce.ssc", 6, 3424, 292},
    {"club-fantastic/Club Fantastic Season 1/Dysangel/dysangel.ssc", 6, 2960, 108},
    {"club-fantastic/Club Fantastic Season 1/Fantastic World/fantasticworld.ssc", 6, 1995, 176},
    {"club-fantastic/Club Fantastic Season 1/Horsepower/horsepower.ssc", 6, 2729, 243},
    {"club-fantastic/Club Fantastic Season 1/Melody Mountain/melodymountain.ssc", 6, 3172, 309},
    {"club-fantastic/Club Fantastic Season 1/Oceania 909/oceania909.ssc", 6, 7609, 376},
    {"club-fantastic/Club Fantastic Season 1/Roadman/roadman.ssc", 6, 2920, 117},
    {"club-fantastic/Club Fantastic Season 1/Shoes (Club Fantastic Edit)/shoes.ssc", 6, 1826, 177},
    {"club-fantastic/Club Fantastic Season 1/Six Million/sixmillion.ssc", 6, 3571, 525},
    {"club-fantastic/Club Fantastic Season 1/Wandering (VIP)/wanderingvip.ssc", 6, 2445, 369},
    {"club-fantastic/Club Fantastic Season 1/Y.E.A.H/Y.E.A.H.ssc", 6, 3271, 322},
    {"club-fantastic/Club Fantastic Season 2/Adore/Adore.ssc", 6, 3982, 308},
    {"club-fantastic/Club Fantastic Season 2/Artifacts/artifacts.ssc", 9, 19459, 257},
    {"club-fantastic/Club Fantastic Season 2/BOSSY (Jorts Speedy Mix)/bossyremix.ssc", 9, 4256,
     252},
    {"club-fantastic/Club Fantastic Season 2/Beachside Photoshoot/Beachside Photoshoot.ssc", 9,
     4486, 505},
    {"club-fantastic/Club Fantastic Season 2/DNA/dna.ssc", 6, 2088, 238},
    {"club-fantastic/Club Fantastic Season 2/Oceania 909 (T2KAZUYA Remix)/oceaniat2k.ssc", 6, 2460,
     178},
    {"club-fantastic/Club Fantastic Season 2/POT/pot.ssc", 9, 3768, 206},
    {"club-fantastic/Club Fantastic Season 2/SSS/SSS.ssc", 6, 3221, 180},
    {"club-fantastic/Club Fantastic Season 2/SWEETHEART/sweetheart.ssc", 9, 4767, 573},
    {"club-fantastic/Club Fantastic Season 2/Save New Jersey/Save New Jersey.ssc", 9, 5066, 320},
    {"club-fantastic/Club Fantastic Season 2/Singularity/Singularity.ssc", 6, 2995, 203},
    {"club-fantastic/Club Fantastic Season 2/Step It/stepit.ssc", 6, 4093, 590},
    {"club-fantastic/Club Fantastic Season 2/TerpZone/terpzone.ssc", 6, 2898, 244},
    {"club-fantastic/Club Fantastic Season 2/WRVTH/wrvth.ssc", 9, 6221, 313},
    {"club-fantastic/Club Fantastic Season 2/We Can Bounce/wecanbounce.ssc", 9, 5529, 436},
    {"club-fantastic/Club Fantastic Season 2/Wipeout/wipeout.ssc", 9, 3918, 365},
    {"club-fantastic/Club Fantastic Season 2/demonstration protocol/Demonstration_Protocol.ssc", 9,
     3917, 220},
    {"club-fantastic/Club Fantastic Season 2/succulynt/succulynt.ssc", 5, 2132, 220},
    {"itgmania-harness/tests/fixtures/basic.sm", 1, 4, 0},
    {"itgmania-harness/tests/fixtures/raw-values.ssc", 2, 5, 1},
    {"itgmania-harness/tests/fixtures/song-lua-headless/music-negative.sm", 1, 1, 0},
    {"itgmania-harness/tests/fixtures/song-lua-headless/song-clock-continuous.sm", 1, 1, 0},
    {"itgmania-harness/tests/fixtures/song-lua-headless/song-clock-float.ssc", 1, 0, 0},
    {"itgmania-harness/tests/fixtures/song-lua-headless/song-clock.ssc", 1, 0, 0},
    {"itgmania-harness/tests/fixtures/song-lua-headless/song-position-negative.sm", 1, 1, 0},
    {"itgmania-harness/tests/fixtures/song-lua-headless/song-steps.sm", 4, 16, 0},
    {"itgmania-harness/tests/fixtures/song-lua-headless/timing-data/control.ssc", 2, 4, 0},
    {"stepmania/Docs/SimfileFormats/SDF/test.sm", 6, 285, 16},
    {"stepmania/Themes/_fallback/Other/ScreenGameplaySyncMachine music.ssc", 2, 146, 0},
    {"stepmania/Themes/_fallback/Other/ScreenHowToPlay steps.ssc", 1, 11, 0},
    {"stepmania/Themes/default/Sounds/_Music title (loop).sm", 0, 0, 0},
    {"stepmania/Themes/legacy/Other/ScreenGameplaySyncMachine music.sm", 1, 56, 0},
    {"stepmania/Themes/legacy/Other/ScreenHowToPlay steps.sm", 1, 11, 0},
};

Counts CountModel(const SongDocument& song) {
  Counts counts;
  for (const auto& score : song.scores) {
    ++counts.charts;
    for (const auto& lane : score->lanes) {
      for (const Frame& frame : lane->frames) {
        for (const Note& note : frame.notes) {
          ++counts.notes;
          counts.holds += note.kind == kFreezeStart;
        }
      }
    }
  }
  return counts;
}

std::map<std::string, std::filesystem::path> CorpusFiles() {
  std::map<std::string, std::filesystem::path> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(kCorpus)) {
    if (IsSimfile(ChartFormatOf(entry.path()))) {
      files.emplace(entry.path().lexically_relative(kCorpus).generic_string(), entry.path());
    }
  }
  return files;
}

TEST(SimfileCorpus, EveryFileReadsWithTheCountsItsTextImplies) {
  SKIP_WITHOUT_CORPUS();
  const auto files = CorpusFiles();
  ASSERT_EQ(files.size(), std::size(kPinned));
  for (const Pinned& pinned : kPinned) {
    SCOPED_TRACE(pinned.path);
    const auto file = files.find(pinned.path);
    ASSERT_NE(file, files.end());
    DWIDocument song;
    ASSERT_TRUE(song.OnOpenDocument(file->second)) << song.OpenError();
    EXPECT_EQ(CountModel(song), (Counts{pinned.charts, pinned.notes, pinned.holds}));
  }
}

}  // namespace
}  // namespace pavaneflow
