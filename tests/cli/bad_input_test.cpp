// Hostile input files through `info` and `convert`: each run ends by itself with status 0 or 1,
// without a sanitizer report, and a failure names the file and the reason.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli_runner.h"

namespace pavaneflow::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kHeader = "#TITLE:Bad;\n#BPM:120;\n#GAP:0;\n";

std::string Repeat(const std::string& piece, std::size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

// Bytes that look like nothing in particular, the same on every run.
std::string Garbage(std::size_t size) {
  std::string out(size, '\0');
  std::uint32_t state = 12345;
  for (char& c : out) {
    state = state * 1664525u + 1013904223u;
    c = static_cast<char>(state >> 24);
  }
  return out;
}

std::string Utf16le(const std::u16string& text) {
  std::string out = "\xFF\xFE";
  for (char16_t unit : text) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
  return out;
}

struct Case {
  const char* name;
  std::function<std::string()> bytes;
  int convertStatus;    // 0: a motion is written, 1: refused with a message
  const char* infoOut;  // expected in the summary printed by info
  const char* errText;  // expected on standard error of both commands ("" for nothing)
};

const Case kCases[] = {
    {"binary garbage", [] { return Garbage(256 * 1024); }, 1, "bpm: 0.000",
     "no step chart found in garbage.dwi (is it a DWI, .sm or .ssc file?)"},
    {"a 50 MB single line", [] { return std::string(50 * 1000 * 1000, 'x'); }, 1, "gap: 0",
     "no step chart found in garbage.dwi (is it a DWI, .sm or .ssc file?)"},
    {"a 50 MB title on one line",
     [] { return "#TITLE:" + std::string(50 * 1000 * 1000, 't') + ";#BPM:90;#SINGLE:BASIC:1:2;"; },
     0, "chart 1: SINGLE BASIC", ""},
    {"invalid UTF-8",
     [] {
       return std::string(kHeader) + "#ARTIST:\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80;\n" +
              "#SINGLE:BASIC:1:2\xFF"
              "4\xE3\x81;\n";
     },
     0, "lane 0: 2 rows, 2 notes", "garbage.dwi: line 5: '\xEF\xBF\xBD' is not supported."},
    {"UTF-16LE with an odd last byte and a lone surrogate",
     [] { return Utf16le(u"#TITLE:T\xD800;\r\n#BPM:150;\r\n#SINGLE:BASIC:1:2468;\r\n") + "\x41"; },
     0, "lane 0: 4 rows, 4 notes", ""},
    {"NUL bytes",
     [] { return std::string(kHeader) + "#SINGLE:BASIC:1:24" + std::string(3, '\0') + "5x\n68;"; },
     0, "lane 0: 4 rows, 4 notes", ""},
    {"a million \"!\"",
     [] { return std::string(kHeader) + "#SINGLE:BASIC:1:2" + std::string(1000000, '!') + ";"; }, 0,
     "chart 1: SINGLE BASIC",
     "garbage.dwi: ... and 499980 more problems (--all-errors prints them all)"},
    {"a million \":\"",
     [] { return std::string(kHeader) + "#SINGLE:BASIC:1:2" + std::string(1000000, ':') + "8;"; },
     0, "lane 1000000: 1 rows, 1 notes", ""},
    {"a million \":\" with steps",
     [] { return std::string(kHeader) + "#COUPLE:BASIC:1:" + Repeat("2:", 500000) + ";"; }, 0,
     "lane 499999: 1 rows, 1 notes", ""},
    // A tempo that times no step: said on its line, and nothing is danced.
    {"BPM 0", [] { return "#BPM:0;\n#SINGLE:BASIC:1:2468;"; }, 1, "bpm: 0.000",
     "garbage.dwi: line 1: the tempo \"0\" of \"BPM\" is not a positive number"},
    {"BPM 1e39", [] { return "#BPM:1e39;\n#SINGLE:BASIC:1:2468;"; }, 1, "bpm: inf",
     "garbage.dwi: no usable tempo"},
    {"BPM -90", [] { return "#BPM:-90;\n#SINGLE:BASIC:1:24680;"; }, 1, "bpm: -90.000",
     "garbage.dwi: line 1: the tempo \"-90\" of \"BPM\" is not a positive number"},
    {"GAP 2^31", [] { return "#BPM:120;#GAP:2147483648;\n#SINGLE:BASIC:1:2468;"; }, 0,
     "gap: 2147483647", ""},
    {"GAP -2^31", [] { return "#BPM:120;#GAP:-2147483648;\n#SINGLE:BASIC:1:2468;"; }, 0,
     "gap: -2147483648", ""},
    {"GAP beyond 2^31 both ways", [] { return "#GAP:-99999999999999999999;#BPM:1;#SINGLE:A:1:2;"; },
     0, "gap: -2147483648", ""},
    {"a \"[\" group of 200 characters",
     [] { return std::string(kHeader) + "#SINGLE:BASIC:1:[" + std::string(200, '2') + "]8;"; }, 0,
     "lane 0: 1 rows, 2 notes", ""},
    // "[" alone before the line break makes every rest after it 96 ticks long: 22.4 million
    // rests carry the tick past 2^31, and the last step lands on a wrapped, negative tick.
    {"rests past tick 2^31",
     [] {
       return std::string(kHeader) + "#SINGLE:BASIC:1:2[0\n" + std::string(22400000, '0') + "\n2;";
     },
     0, "lane 0: 2 rows, 2 notes", ""},
    {"terminal escape sequences",
     [] { return "#TITLE:a\x1B]0;x\x07;\n#BPM:120;\n#SINGLE:BASIC:1:2\x1B[2J\r8;"; }, 0,
     "title: a\\x1B]0", "garbage.dwi: line 3: '\\x1B' is not supported."},
    {"an unfinished tag at the end", [] { return std::string(kHeader) + "#SINGLE:BASIC:1:24#"; }, 0,
     "lane 0: 2 rows, 2 notes", ""},
};

class BadInput : public testing::Test {
 protected:
  void SetUp() override { folder_ = MakeTestFolder("pavaneflow-bad-input"); }
  void TearDown() override { fs::remove_all(folder_); }

  // Names of everything in the folder, for spotting debris.
  std::vector<std::string> Contents() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder_;
};

TEST_F(BadInput, EveryCommandEndsCleanlyWithAClearMessage) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    WriteFileBytes(folder_ / "garbage.dwi", c.bytes());

    const CliRun info = RunCli(folder_, {"info", "garbage.dwi"});
    ASSERT_TRUE(info.EndedCleanly()) << info.Describe();
    EXPECT_EQ(info.status, 0) << info.Describe();
    EXPECT_NE(info.out.find(c.infoOut), std::string::npos) << info.out.substr(0, 2000);
    const std::string_view infoErr = c.convertStatus == 0 ? c.errText : "";
    EXPECT_NE(info.err.find(infoErr), std::string::npos) << info.Describe();
    // Nothing from the file may reach a terminal as an escape sequence.
    EXPECT_EQ(info.out.find('\x1B'), std::string::npos);
    EXPECT_EQ(info.err.find('\x1B'), std::string::npos);

    const CliRun json = RunCli(folder_, {"info", "--json", "garbage.dwi"});
    ASSERT_TRUE(json.EndedCleanly()) << json.Describe();
    EXPECT_EQ(json.status, 0) << json.Describe();

    const CliRun convert = RunCli(folder_, {"convert", "garbage.dwi", "-o", "out.vmd"});
    ASSERT_TRUE(convert.EndedCleanly()) << convert.Describe();
    EXPECT_EQ(convert.status, c.convertStatus) << convert.Describe();
    EXPECT_NE(convert.err.find(c.errText), std::string::npos) << convert.Describe();
    EXPECT_EQ(convert.err.find('\x1B'), std::string::npos);
    if (convert.status == 0) {
      const auto size = fs::file_size(folder_ / "out.vmd");
      EXPECT_EQ((size - 54) % 111, 0u) << size;
      fs::remove(folder_ / "out.vmd");
    }
    EXPECT_EQ(Contents(), std::vector<std::string>{"garbage.dwi"});
  }
}

TEST_F(BadInput, InputsThatCannotBeReadFailWithTheirReason) {
  fs::create_directory(folder_ / "folder.dwi");
  struct Unreadable {
    const char* file;
    const char* message;
  };
  const Unreadable cases[] = {
      {"folder.dwi", "folder.dwi: Is a directory"},
      {"missing.dwi", "missing.dwi: No such file or directory"},
  };
  for (const Unreadable& c : cases) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{
             {"info", c.file}, {"info", "--json", c.file}, {"convert", c.file, "-o", "x.vmd"}}) {
      SCOPED_TRACE(arguments.front() + " " + arguments.back());
      const CliRun run = RunCli(folder_, arguments);
      ASSERT_TRUE(run.EndedCleanly()) << run.Describe();
      EXPECT_EQ(run.status, 1);
      EXPECT_NE(run.err.find(c.message), std::string::npos) << run.Describe();
    }
  }
  EXPECT_EQ(Contents(), std::vector<std::string>{"folder.dwi"});
}

// Hostile simfiles, read by their extension: each command ends by itself, without a sanitizer
// report, reading what can be read.
TEST_F(BadInput, HostileSimfilesEndCleanly) {
  const std::string ssc = "#BPMS:0=120;\n#NOTEDATA:;\n#STEPSTYPE:dance-single;\n#NOTES:\n";
  struct Simfile {
    const char* name;
    const char* file;
    std::function<std::string()> bytes;
    int convertStatus;
    const char* infoOut;
    const char* errText;
  };
  const Simfile cases[] = {
      {"binary garbage", "garbage.ssc", [] { return Garbage(256 * 1024); }, 1, "bpm: 60.000",
       "no step chart found in garbage.ssc"},
      {"a 50 MB row", "row.ssc", [&] { return ssc + std::string(50 * 1000 * 1000, '1') + ";"; }, 0,
       "lane 0: 1 rows, 4 notes", ""},
      {"measures past tick 2^31", "measures.ssc",
       [&] { return ssc + "1000\n" + std::string(12 * 1000 * 1000, ',') + "1000;"; }, 0,
       "lane 0: 1 rows, 1 notes", ""},
      {"a million bad tempo entries", "tempos.sm",
       [] { return "#BPMS:" + Repeat("x,", 1000000) + ";\n#NOTES:dance-single::Hard:1::1111;"; }, 0,
       "bpm: 60.000", "tempos.sm: ... and 999981 more problems (--all-errors prints them all)"},
      {"negative tempos and stops everywhere", "warps.sm",
       [] {
         return "#BPMS:0=120," + Repeat("1=-60,2=1e30,3=-1e-30,", 1) +
                "\n#STOPS:" + Repeat("0.5=-9999,", 3) +
                ";\n#NOTES:dance-single::Hard:1::" + Repeat("1000\n0100\n,", 1000) + ";";
       },
       0, "chart 1: SINGLE HARD", ""},
      {"beats and offsets beyond every range", "range.ssc",
       [&] {
         return "#OFFSET:1e300;#BPMS:0=1e-300,1e300=60;#STOPS:1=1e308;#WARPS:-1e300=1e300;\n" +
                ssc + "1000\n0100;";
       },
       0, "gap: -2147483647", "range.ssc: line 1: \"1e300=60\" of \"BPMS\" could not be read."},
      {"a million unclosed holds", "holds.ssc",
       [&] { return ssc + Repeat("2000\n", 1000000) + ";"; }, 0, "chart 1: SINGLE EDIT",
       "holds.ssc: ... and 999980 more problems"},
      {"NUL bytes", "nul.sm",
       [] {
         return "#BPMS:0=120;#NOTES:dance-single::Hard:1::\n1000\n01" + std::string(3, '\0') +
                "00\n;";
       },
       0, "lane 0: 3 rows, 2 notes", ""},
  };
  for (const Simfile& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFileBytes(folder_ / c.file, c.bytes());
    const CliRun info = RunCli(folder_, {"info", c.file});
    ASSERT_TRUE(info.EndedCleanly()) << info.Describe();
    EXPECT_EQ(info.status, 0) << info.Describe();
    EXPECT_NE(info.out.find(c.infoOut), std::string::npos) << info.out.substr(0, 2000);
    const CliRun json = RunCli(folder_, {"info", "--json", c.file});
    ASSERT_TRUE(json.EndedCleanly()) << json.Describe();
    const CliRun convert = RunCli(folder_, {"convert", c.file, "-o", "out.vmd"});
    ASSERT_TRUE(convert.EndedCleanly()) << convert.Describe();
    EXPECT_EQ(convert.status, c.convertStatus) << convert.Describe();
    EXPECT_NE(convert.err.find(c.errText), std::string::npos) << convert.Describe();
    fs::remove(folder_ / "out.vmd");
    fs::remove(folder_ / c.file);
  }
}

// The open order of the models' ticks once they pass 2^31: the last step sits before the first.
TEST_F(BadInput, WrappedTicksStaySorted) {
  WriteFileBytes(folder_ / "wrap.dwi", std::string(kHeader) + "#SINGLE:BASIC:1:2[0\n" +
                                           std::string(22400000, '0') + "\n8;");
  const CliRun json = RunCli(folder_, {"info", "--json", "wrap.dwi"});
  ASSERT_TRUE(json.EndedCleanly()) << json.Describe();
  // 24 + 22400001 × 96 ticks, wrapped to 32 bits.
  EXPECT_NE(json.out.find("\"frames\": [{\"tick\": -2144567176, \"notes\": [{\"arrow\": 50, "
                          "\"kind\": 0}]}, {\"tick\": 0, "),
            std::string::npos)
      << json.out.substr(0, 500);
}

}  // namespace
}  // namespace pavaneflow::test
