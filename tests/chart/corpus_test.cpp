#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "chart/dwi_document.h"
#include "support/dwi_fixture.h"

namespace pavaneflow {
namespace {

using test::Utf8;

const std::filesystem::path kCorpus = PAVANEFLOW_CORPUS_DIR;

// The corpus of public files lies beside the checkout, not in it.
#define SKIP_WITHOUT_CORPUS()                                         \
  if (!std::filesystem::is_directory(kCorpus)) {                      \
    GTEST_SKIP() << "no corpus of DWI files at " << kCorpus.string(); \
  }

// One line per Score: name, mode, and per Lane "key:frames/notes/freeze starts/freeze ends/last
// tick".
std::string Shape(const SongDocument& song) {
  std::string text;
  auto add = [&text](std::string_view separator, auto number) {
    text += separator;
    text += std::to_string(number);
  };
  for (const auto& score : song.scores) {
    text += Utf8(score->name);
    add(" ", score->mode);
    for (const auto& lane : score->lanes) {
      int notes = 0, starts = 0, ends = 0;
      Tick last = 0;
      for (const Frame& frame : lane->frames) {
        last = frame.tick;
        for (const Note& note : frame.notes) {
          ++notes;
          starts += note.kind == kFreezeStart;
          ends += note.kind == kFreezeEnd;
        }
      }
      add(" ", lane->key);
      add(":", lane->frames.size());
      add("/", notes);
      add("/", starts);
      add("/", ends);
      add("/", last);
    }
    text += "\n";
  }
  return text;
}

TEST(Corpus, EveryFileOpensWithOrderedFrames) {
  SKIP_WITHOUT_CORPUS();
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(kCorpus)) {
    if (entry.path().extension() == ".dwi") files.push_back(entry.path());
  }
  ASSERT_GE(files.size(), 85u);
  for (const auto& path : files) {
    SCOPED_TRACE(path.filename().string());
    DWIDocument song;
    ASSERT_TRUE(song.OnOpenDocument(path)) << song.OpenError();
    EXPECT_FALSE(song.scores.empty());
    for (const auto& score : song.scores) {
      for (const auto& lane : score->lanes) {
        EXPECT_TRUE(
            std::is_sorted(lane->frames.begin(), lane->frames.end(),
                           [](const Frame& a, const Frame& b) { return a.tick <= b.tick; }));
      }
    }
  }
}

struct PinnedFile {
  const char* file;
  const char* title;
  const char* artist;
  float bpm;
  int gap;
  std::int64_t errors;
  const char* firstError;
  const char* shape;
};

const PinnedFile kPinnedFiles[] = {
    {"001-notmybattle.dwi", "Not My Battle", "Gundrill", 155.88f, 130, 169,
     "6行目:\"CHANGEBPM\" には対応していません。",
     "SINGLE BASIC 0 0:360/256/12/12/12624\n"
     "SINGLE ANOTHER 0 0:395/313/12/12/12624\n"
     "SINGLE MANIAC 0 0:420/363/12/12/12624\n"},
    // The title is stored double-encoded; it reads as the characters those bytes spell.
    {"002-v-3.dwi", "V\u00C2\u00B3 (Hello World)", "ZiGZaG HACKER", 230.002f, 37, 517,
     "11行目:\"CHANGEBPM\" には対応していません。", "SINGLE MANIAC 0 0:14458/4903/18/18/560208\n"},
    {"007-afronova.dwi", "AFRONOVA", "RE-VENGE", 200.0f, 40, 0, "",
     "SINGLE BEGINNER 0 0:289/109/0/0/13824\n"
     "SINGLE BASIC 0 0:295/258/0/0/13920\n"
     "SINGLE ANOTHER 0 0:307/301/0/0/13920\n"
     "SINGLE MANIAC 0 0:408/430/0/0/13920\n"
     "DOUBLE BASIC 1 0:300/272/0/0/13896\n"
     "DOUBLE ANOTHER 1 0:311/300/0/0/13896\n"
     "DOUBLE MANIAC 1 0:401/405/0/0/13968\n"
     "COUPLE ANOTHER 2 0:349/208/0/0/13920 1:349/208/0/0/13920\n"},
};

TEST(Corpus, PinnedFilesKeepTheirShape) {
  SKIP_WITHOUT_CORPUS();
  for (const PinnedFile& pinned : kPinnedFiles) {
    SCOPED_TRACE(pinned.file);
    DWIDocument song;
    ASSERT_TRUE(song.OnOpenDocument(kCorpus / pinned.file));
    EXPECT_EQ(Utf8(song.title), pinned.title);
    EXPECT_EQ(Utf8(song.artist), pinned.artist);
    EXPECT_EQ(song.bpm, pinned.bpm);
    EXPECT_EQ(song.gap, pinned.gap);
    EXPECT_EQ(song.LastErrorCount(), pinned.errors);
    const std::u16string& errors = song.LastErrors();
    EXPECT_EQ(Utf8(std::u16string_view(errors).substr(0, errors.find(u"\r\n"))), pinned.firstError);
    EXPECT_EQ(Shape(song), pinned.shape);
  }
}

}  // namespace
}  // namespace pavaneflow
