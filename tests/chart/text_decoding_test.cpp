#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "base/file_error.h"
#include "chart/text_buffer.h"
#include "chart/text_file.h"
#include "support/dwi_fixture.h"

namespace pavaneflow {
namespace {

std::vector<std::u16string> ReadAll(LineSource& source) {
  std::vector<std::u16string> lines;
  std::u16string_view line;
  while (source.ReadLine(line)) lines.emplace_back(line);
  EXPECT_TRUE(line.empty());
  EXPECT_FALSE(source.ReadLine(line)) << "the end of input stays the end";
  return lines;
}

struct DecodingCase {
  const char* name;
  std::string bytes;
  std::vector<std::u16string> lines;
};

const DecodingCase kDecodingCases[] = {
    {"empty file", "", {}},
    {"last line without terminator", "abc", {u"abc"}},
    {"LF", "a\nb\n", {u"a", u"b"}},
    {"empty lines", "\n\n", {u"", u""}},
    {"CR LF", "a\r\nb", {u"a", u"b"}},
    {"lone CR stays", "a\rb\r", {u"a\rb\r"}},
    {"CR CR LF keeps one CR", "a\r\r\nb", {u"a\r", u"b"}},
    {"NUL and U+001A are kept", std::string("a\0b\x1A", 4), {std::u16string(u"a\0b\x1A", 4)}},
    {"UTF-8 byte-order mark skipped", "\xEF\xBB\xBF#A\r\n", {u"#A"}},
    {"only the first mark is skipped", "\xEF\xBB\xBF\xEF\xBB\xBFx", {u"\uFEFFx"}},
    {"mark elsewhere is a character", "a\xEF\xBB\xBF", {u"a\uFEFF"}},
    {"multi-byte characters", "\xE3\x81\x82\xC3\xA9\xF0\x9F\x98\x80", {u"\u3042\u00E9\U0001F600"}},
    {"UTF-16LE", std::string("\xFF\xFE#\0A\0\r\0\n\0B\0", 12), {u"#A", u"B"}},
    {"UTF-16LE odd last byte dropped",
     std::string("\xFF\xFE"
                 "a\0b",
                 5),
     {u"a"}},
    {"UTF-16LE unpaired surrogate kept", std::string("\xFF\xFE\x00\xD8x\0", 6), {u"\xD800x"}},
    {"UTF-16LE mark alone", "\xFF\xFE", {}},
    {"FE FF is not special", "\xFE\xFF", {u"\uFFFD\uFFFD"}},
    // The Unicode standard's example of maximal subparts.
    {"maximal subparts",
     "\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
     {u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd"}},
    {"overlong two bytes", "\xC0\xAF", {u"\uFFFD\uFFFD"}},
    {"overlong three bytes", "\xE0\x80\xAF", {u"\uFFFD\uFFFD\uFFFD"}},
    {"encoded surrogate", "\xED\xA0\x80", {u"\uFFFD\uFFFD\uFFFD"}},
    {"beyond U+10FFFF", "\xF4\x90\x80\x80", {u"\uFFFD\uFFFD\uFFFD\uFFFD"}},
    {"F5 and FF", "\xF5\xFF", {u"\uFFFD\uFFFD"}},
    {"truncated before a line break", "\xE3\x81\nx", {u"\uFFFD", u"x"}},
    {"truncated at the end", "x\xF0\x9F\x98", {u"x\uFFFD"}},
    {"partial byte-order mark", "\xEF\xBB", {u"\uFFFD"}},
};

TEST(TextDecoding, DecodesBytesIntoLinesAcrossEveryChunkBoundary) {
  for (const DecodingCase& c : kDecodingCases) {
    for (std::size_t chunk : {0, 1, 2, 3}) {
      SCOPED_TRACE(std::string(c.name) + ", chunk " + std::to_string(chunk));
      TextBuffer source(c.bytes, chunk);
      EXPECT_EQ(ReadAll(source), c.lines);
    }
  }
}

TEST(TextDecoding, WithoutUtf8EveryByteIsOneCharacter) {
  TextBuffer source("\xEF\xBB\xBF\xE9\r\n\xFF", 0, false);
  EXPECT_EQ(ReadAll(source), (std::vector<std::u16string>{u"\u00EF\u00BB\u00BF\u00E9", u"\u00FF"}));
}

TEST(TextDecoding, LongLinesSpanChunksAndCrLfMaySplitBetweenThem) {
  // The default chunk is 1 MiB: put the CR last in the first chunk and its LF first in the next.
  const std::size_t chunk = std::size_t{1} << 20;
  std::string bytes(chunk - 1, 'a');
  bytes += "\r\n";
  bytes += std::string(3 * chunk, 'b');
  bytes += "\xE3\x81\x82";
  TextBuffer source(bytes);
  const std::vector<std::u16string> lines = ReadAll(source);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], std::u16string(chunk - 1, u'a'));
  EXPECT_EQ(lines[1].size(), 3 * chunk + 1);
  EXPECT_EQ(lines[1].back(), u'\u3042');
}

class TextFileTest : public testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::temp_directory_path() /
                 ("pavaneflow-text-file-" + std::to_string(::getpid()));
    std::filesystem::create_directories(directory_);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  std::filesystem::path directory_;
};

TEST_F(TextFileTest, ReadsTheLinesOfAFile) {
  const auto path = directory_ / "song.dwi";
  std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBF#TITLE:A;\r\n#BPM:1;";
  TextFile file(path);
  EXPECT_EQ(ReadAll(file), (std::vector<std::u16string>{u"#TITLE:A;", u"#BPM:1;"}));
}

TEST_F(TextFileTest, FailuresNameThePathAndTheReason) {
  const auto missing = directory_ / "missing.dwi";
  try {
    TextFile file(missing);
    FAIL() << "a missing file opened";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), missing);
    EXPECT_EQ(error.reason(), "No such file or directory");
    EXPECT_EQ(std::string(error.what()), missing.string() + ": No such file or directory");
  }

  // A folder opens, but reading it fails.
  TextFile folder(directory_);
  std::u16string_view line;
  try {
    folder.ReadLine(line);
    FAIL() << "a folder was read";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), directory_);
    EXPECT_EQ(error.reason(), "Is a directory");
  }
}

}  // namespace
}  // namespace pavaneflow
