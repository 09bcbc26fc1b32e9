// Folders through `convert` and `info`: files that share a stem are one song, files of different
// stems are loose songs, each into its own output folder; a pack ends with one summary line.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli_runner.h"

namespace pavaneflow::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kJapanese = "ja_JP.UTF-8";
constexpr const char* kDwi = "#BPM:120;\n#SINGLE:BASIC:1:2468;\n#DOUBLE:BASIC:2:2468:8642;\n";
constexpr const char* kSm = "#BPMS:0=150;\n#NOTES:dance-single:Old:Hard:7::\n1000\n;\n";
constexpr const char* kSsc =
    "#BPMS:0=120;\n#NOTEDATA:;\n#STEPSTYPE:dance-single;\n#DIFFICULTY:Easy;\n#METER:2;\n"
    "#NOTES:\n1000\n0100\n;\n";

class SongFolders : public testing::Test {
 protected:
  void SetUp() override { folder_ = MakeTestFolder("pavaneflow-folders"); }
  void TearDown() override { fs::remove_all(folder_); }

  void Write(const fs::path& name, const std::string& bytes) const {
    fs::create_directories((folder_ / name).parent_path());
    WriteFileBytes(folder_ / name, bytes);
  }

  // Every file beneath `name`, relative to it, sorted.
  std::vector<std::string> Files(const fs::path& name) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder_ / name)) {
      if (entry.is_regular_file()) {
        names.push_back(entry.path().lexically_relative(folder_ / name).string());
      }
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder_;
};

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t count = 0;
  for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size()) {
    ++count;
  }
  return count;
}

// The last line of `text` (without its line end).
std::string LastLine(const std::string& text) {
  const std::string trimmed = text.substr(0, text.find_last_not_of('\n') + 1);
  return trimmed.substr(trimmed.find_last_of('\n') + 1);
}

TEST_F(SongFolders, StemsDecideWhatIsOneSong) {
  // A song folder with all three formats of one song, a folder of loose songs (two formats of
  // one of them, in another letter case) and a song folder beneath it.
  Write("pack/Song/song.ssc", kSsc);
  Write("pack/Song/song.sm", kSm);
  Write("pack/Song/song.dwi", kDwi);
  Write("pack/loose/alpha.dwi", kDwi);
  Write("pack/loose/Beta.DWI", kDwi);
  Write("pack/loose/beta.sm", kSm);
  Write("pack/loose/gamma.ssc", kSsc);
  Write("pack/loose/inner/delta.dwi", kDwi);

  struct Case {
    std::vector<std::string> arguments;
    std::vector<std::string> files;
  } const cases[] = {
      {{"convert", "pack", "-o", "out"},
       {"Song/song.vmd", "loose/alpha/alpha.vmd", "loose/beta/beta.vmd", "loose/gamma/gamma.vmd",
        "loose/inner/delta.vmd"}},
      {{"convert", "--all", "pack/loose", "-o", "all"},
       {"alpha/alpha_DOUBLE_BASIC.vmd", "alpha/alpha_SINGLE_BASIC.vmd", "beta/beta_SINGLE_HARD.vmd",
        "gamma/gamma_SINGLE_EASY.vmd", "inner/delta_SINGLE_BASIC.vmd",
        "inner/delta_DOUBLE_BASIC.vmd"}},
      // A song folder given itself goes to a folder of its name, but never twice.
      {{"convert", "pack/Song", "-o", "one"}, {"Song/song.vmd"}},
      {{"convert", "pack/Song", "-o", "two/Song/"}, {"song.vmd"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments[c.arguments.size() - 1]);
    const CliRun run = RunCli(folder_, c.arguments);
    EXPECT_EQ(run.status, 0) << run.Describe();
    std::vector<std::string> expected = c.files;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Files(c.arguments.back()), expected);
  }

  // Without -o each goes beside its chart file.
  const CliRun beside = RunCli(folder_, {"convert", "pack/loose"});
  EXPECT_EQ(beside.status, 0) << beside.Describe();
  EXPECT_EQ(Count(beside.out, "\n"), 4u) << beside.out;
  EXPECT_TRUE(fs::exists(folder_ / "pack/loose/beta.vmd"));

  const CliRun info = RunCli(folder_, {"info", "pack"});
  EXPECT_EQ(info.status, 0) << info.Describe();
  EXPECT_EQ(Count(info.out, "song: "), 5u) << info.out;
  EXPECT_NE(info.out.find("song: " + (fs::path("pack") / "Song" / "song.ssc").string()),
            std::string::npos);
  EXPECT_NE(info.out.find("song: " + (fs::path("pack") / "loose" / "beta.sm").string()),
            std::string::npos);
}

TEST_F(SongFolders, APackEndsWithOneSummaryLineInTheUsersLanguage) {
  Write("pack/a.dwi", kDwi);
  Write("pack/b.dwi", kDwi);
  Write("pack/nochart.dwi", "#BPM:120;\n");
  Write("pack/notempo.dwi", "#SINGLE:BASIC:1:2468;\n");
  struct Case {
    std::vector<std::string> arguments;
    const char* lang;
    int status;
    const char* summary;
  } const cases[] = {
      {{"convert", "--all", "pack", "-o", "out"},
       "C",
       1,
       "4 motions written, 1 song without a chart, 1 song without a usable tempo"},
      {{"convert", "--all", "pack", "-o", "out"},
       kJapanese,
       1,
       "4 個のモーションを書き出しました、譜面のない曲 1 曲、使えるテンポのない曲 1 曲"},
      {{"convert", "pack/a.dwi", "pack/missing.dwi", "-o", "two"},
       "C",
       1,
       "1 motion written, 1 file not read"},
      {{"convert", "pack/a.dwi", "pack/b.dwi", "--chart", "3", "-o", "three"},
       "C",
       1,
       "0 motions written, 2 motions not written"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.summary);
    const CliRun run = RunCli(folder_, c.arguments, std::chrono::seconds(60), c.lang);
    EXPECT_EQ(run.status, c.status) << run.Describe();
    EXPECT_EQ(LastLine(run.err), c.summary) << run.err;
  }
  // One file is no pack: no summary.
  const CliRun one = RunCli(folder_, {"convert", "--all", "pack/a.dwi", "-o", "single"});
  EXPECT_EQ(one.status, 0) << one.Describe();
  EXPECT_EQ(one.err, "");
}

// The public corpora as users have them: a folder of 85 loose DWI files is 85 songs, and the
// simfile pack's folders of differently named files are a song each.
TEST_F(SongFolders, TheCorporaAreEverySong) {
  const fs::path dwi = PAVANEFLOW_CORPUS_DIR;
  if (!fs::exists(dwi / "001-notmybattle.dwi")) GTEST_SKIP() << "no corpus at " << dwi;
  fs::create_directories(folder_ / "dwi");
  std::size_t charts = 0;
  for (const auto& entry : fs::directory_iterator(dwi)) {
    if (entry.path().extension() != ".dwi") continue;
    fs::copy_file(entry.path(), folder_ / "dwi" / entry.path().filename());
    ++charts;
  }
  ASSERT_EQ(charts, 85u);

  const CliRun convert = RunCli(folder_, {"convert", "dwi", "-o", "out/dwi"});
  EXPECT_EQ(convert.status, 0) << convert.Describe();
  EXPECT_EQ(Count(convert.out, "\n"), 85u);
  EXPECT_EQ(LastLine(convert.err), "85 motions written");
  const std::vector<std::string> files = Files("out");
  ASSERT_EQ(files.size(), 85u);
  EXPECT_EQ(files.front(), "dwi/001-notmybattle/001-notmybattle.vmd");

  const CliRun info = RunCli(folder_, {"info", "dwi"});
  EXPECT_EQ(info.status, 0) << info.Describe();
  EXPECT_EQ(Count(info.out, "song: "), 85u);

  const fs::path sm = fs::path(PAVANEFLOW_CORPUS_DIR).parent_path() / "sm";
  const CliRun simfiles = RunCli(folder_, {"info", sm.string()});
  EXPECT_EQ(simfiles.status, 0) << simfiles.Describe();
  // 32 song folders of a pack, and 15 files in folders of loose test and theme charts.
  EXPECT_EQ(Count(simfiles.out, "song: "), 47u);
  EXPECT_NE(simfiles.out.find("song-lua-headless/song-steps.sm"), std::string::npos);
  EXPECT_NE(simfiles.out.find("song-lua-headless/music-negative.sm"), std::string::npos);
}

}  // namespace
}  // namespace pavaneflow::test
