// Simfiles (.sm, .ssc) through the commands: read by their extension, timed by their own lists,
// and whole folders of songs at once.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli_runner.h"
#include "vmd/vmd_reader.h"

namespace pavaneflow::test {
namespace {

namespace fs = std::filesystem;

// Two charts with the same steps, a tap on beats 0 and 4; the second has its own tempo and
// offset.
constexpr const char* kSong =
    "#TITLE:Simfile;\n#ARTIST:Me;\n#OFFSET:0;\n#BPMS:0=120;\n#STOPS:1=0.25;\n"
    "#NOTEDATA:;\n#STEPSTYPE:dance-single;\n#DESCRIPTION:Plain;\n#DIFFICULTY:Easy;\n#METER:2;\n"
    "#NOTES:\n1000\n0000\n0000\n0000\n,\n1000\n;\n"
    "#NOTEDATA:;\n#STEPSTYPE:dance-single;\n#DIFFICULTY:smaniac;\n#METER:11;\n#OFFSET:-0.5;\n"
    "#BPMS:0=60;\n#NOTES:\n1000\n0000\n0000\n0000\n,\n1000\n;\n";

constexpr const char* kSm = "#BPMS:0=150;\n#NOTES:dance-single:Old:Hard:7::\n1000\n;\n";

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  WriteFileBytes(path, bytes);
}

class SimfileCli : public testing::Test {
 protected:
  void SetUp() override { folder_ = MakeTestFolder("pavaneflow-simfile"); }
  void TearDown() override { fs::remove_all(folder_); }

  // Every file beneath `folder`, relative to it, sorted.
  std::vector<std::string> Files(const fs::path& folder) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      if (entry.is_regular_file())
        names.push_back(entry.path().lexically_relative(folder).string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder_;
};

TEST_F(SimfileCli, InfoReadsByExtension) {
  struct Case {
    const char* file;
    const char* bytes;
    std::vector<std::string> arguments;
    const char* out;
  } const cases[] = {
      {"song.ssc",
       kSong,
       {},
       "title: Simfile\nartist: Me\nbpm: 120.000\ngap: 0\n"
       "format: ssc (offset 0 s, tempo changes: 1, stops: 1, delays: 0, warps: 0)\n"
       "chart 1: SINGLE EASY (SINGLE), meter 2, Plain\n  lane 0: 5 rows, 2 notes\n"
       "chart 2: SINGLE CHALLENGE (SINGLE), meter 11, own timing\n  lane 0: 5 rows, 2 notes\n"},
      {"SONG.SSC",
       kSong,
       {"--timing", "game"},
       "gap: 0\nformat: ssc (offset 0 s, tempo changes: 1, stops: 1, delays: 0, warps: 0)\n"},
      {"old.Sm",
       kSm,
       {},
       "format: sm (offset 0 s, tempo changes: 1, stops: 0, delays: 0, warps: 0)\n"
       "chart 1: SINGLE HARD (SINGLE), meter 7, Old\n"},
      // Anything else is DWI, which has no NOTES tag.
      {"old.txt", kSm, {}, "title: \nartist: \nbpm: 0.000\ngap: 0\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    WriteFileBytes(folder_ / c.file, c.bytes);
    std::vector<std::string> arguments{"info", c.file};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const CliRun info = RunCli(folder_, arguments);
    ASSERT_EQ(info.status, 0) << info.Describe();
    EXPECT_NE(info.out.find(c.out), std::string::npos) << info.out;
    fs::remove(folder_ / c.file);
  }
}

TEST_F(SimfileCli, EachChartDancesInItsOwnTiming) {
  WriteFileBytes(folder_ / "song.ssc", kSong);
  const CliRun convert = RunCli(folder_, {"convert", "--all", "song.ssc", "-o", "out"});
  ASSERT_EQ(convert.status, 0) << convert.Describe();
  auto lastFrame = [&](const char* file) {
    std::int32_t last = 0;
    for (const auto& frame : ReadVmdFile(folder_ / "out" / file).bones) {
      last = std::max(last, frame.frameNumber);
    }
    return last;
  };
  // Beat 4 at 120 BPM after a stop of 0.25 s: 2.25 s; at 60 BPM, 0.5 s late: 4.5 s.
  EXPECT_EQ(lastFrame("song_SINGLE_EASY.vmd"), 67);
  EXPECT_EQ(lastFrame("song_SINGLE_CHALLENGE.vmd"), 135);
}

// A chart with its own timing shows it in the JSON, where the song's lists do not apply to it.
TEST_F(SimfileCli, JsonGivesAChartItsOwnTiming) {
  WriteFileBytes(folder_ / "song.ssc", kSong);
  const CliRun json = RunCli(folder_, {"info", "--json", "song.ssc"});
  ASSERT_EQ(json.status, 0) << json.Describe();
  const std::string plain = "\"description\": \"Plain\", \"lanes\": [";
  const std::string own =
      "\"description\": \"\", \"offset\": -0.5, \"tempos\": [{\"tick\": 0, \"bpm\": 60}], "
      "\"stops\": [], \"delays\": [], \"warps\": [], \"lanes\": [";
  EXPECT_NE(json.out.find(plain), std::string::npos) << json.out;
  EXPECT_NE(json.out.find(own), std::string::npos) << json.out;
  // The song's lists stay the song's.
  EXPECT_NE(json.out.find("\"tempos\": [{\"tick\": 0, \"bpm\": 120}], \"stops\": [{\"tick\": 48"),
            std::string::npos);
}

TEST_F(SimfileCli, AFolderIsEverySongBeneathIt) {
  const fs::path pack = folder_ / "pack";
  WriteFile(pack / "A" / "a.ssc", kSong);
  WriteFile(pack / "A" / "a.sm", kSm);  // the .ssc is preferred
  WriteFile(pack / "B" / "b.sm", kSm);
  WriteFile(pack / "B" / "b.dwi", "#BPM:120;\n#SINGLE:BASIC:1:2;\n");
  WriteFile(pack / "C" / "deep" / "c.dwi", "#BPM:120;\n#SINGLE:BASIC:1:2;\n");
  WriteFile(pack / "D" / "none.ssc", "#BPMS:0=120;\n");  // no chart
  WriteFile(pack / "E" / "notes.txt", "not a song");

  // The song without a chart is reported and the others written.
  const CliRun all = RunCli(folder_, {"convert", "--all", "pack", "-o", "out"});
  EXPECT_EQ(all.status, 1) << all.Describe();
  EXPECT_NE(
      all.err.find("no step chart found in " + (fs::path("pack") / "D" / "none.ssc").string()),
      std::string::npos)
      << all.err;
  EXPECT_EQ(Files(folder_ / "out"),
            (std::vector<std::string>{"A/a_SINGLE_CHALLENGE.vmd", "A/a_SINGLE_EASY.vmd",
                                      "B/b_SINGLE_HARD.vmd", "C/deep/c_SINGLE_BASIC.vmd"}));

  // One chart per song.
  const CliRun first = RunCli(folder_, {"convert", "pack", "-o", "first"});
  EXPECT_EQ(first.status, 1) << first.Describe();
  EXPECT_EQ(Files(folder_ / "first"),
            (std::vector<std::string>{"A/a.vmd", "B/b.vmd", "C/deep/c.vmd"}));

  const CliRun info = RunCli(folder_, {"info", "pack"});
  EXPECT_EQ(info.status, 0) << info.Describe();
  std::size_t songs = 0;
  for (std::size_t at = 0; (at = info.out.find("song: ", at)) != std::string::npos; ++at) ++songs;
  EXPECT_EQ(songs, 4u) << info.out;
  const CliRun json = RunCli(folder_, {"info", "--json", "pack"});
  EXPECT_EQ(json.status, 0) << json.Describe();
  EXPECT_EQ(json.out.front(), '[');
  EXPECT_NE(json.out.find("\"format\": \"sm\""), std::string::npos);

  const CliRun empty = RunCli(folder_, {"info", "pack/E"});
  EXPECT_EQ(empty.status, 1);
  EXPECT_NE(empty.err.find("no .ssc, .sm or .dwi file"), std::string::npos) << empty.err;
}

}  // namespace
}  // namespace pavaneflow::test
