#include "sheet/dance_sheet.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "chart/score.h"
#include "motion/bone_names.h"
#include "motion/classic/run.h"
#include "support/dwi_fixture.h"
#include "support/vmd_bytes.h"
#include "vmd/vmd_reader.h"
#include "vmd/vmd_writer.h"

namespace pavaneflow {
namespace {

using test::SerializeVmd;

std::string ReadFile(const char* path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Whether `xml` is one well-formed element tree: tags nest and close in order, attribute values
// are quoted, and "&" starts only the five predefined entities. Enough for what the sheet writes
// (no comments, CDATA or doctype).
bool WellFormed(const std::string& xml, std::string& why) {
  static const std::regex tag(R"(<(/?)([A-Za-z][\w:.-]*)((?:\s+[\w:.-]+="[^"<]*")*)\s*(/?)>)");
  static const std::regex entity(R"(&(amp|lt|gt|quot|apos);)");
  std::size_t at = 0;
  if (xml.starts_with("<?xml")) at = xml.find("?>") + 2;
  std::vector<std::string> open;
  bool rootSeen = false;
  while (at < xml.size()) {
    const std::size_t lt = xml.find('<', at);
    const std::string text = xml.substr(at, lt == std::string::npos ? std::string::npos : lt - at);
    for (std::size_t amp = text.find('&'); amp != std::string::npos;
         amp = text.find('&', amp + 1)) {
      if (!std::regex_search(text.substr(amp, 6), entity, std::regex_constants::match_continuous)) {
        why = "bad entity near " + text.substr(amp, 10);
        return false;
      }
    }
    if (open.empty() && rootSeen && text.find_first_not_of(" \n") != std::string::npos) {
      why = "text after the root";
      return false;
    }
    if (lt == std::string::npos) break;
    std::smatch m;
    const std::string rest = xml.substr(lt, 4096);
    if (!std::regex_search(rest, m, tag, std::regex_constants::match_continuous)) {
      why = "bad tag at " + std::to_string(lt) + ": " + rest.substr(0, 40);
      return false;
    }
    if (m[1] == "/") {
      if (open.empty() || open.back() != m[2]) {
        why = "unbalanced </" + m[2].str() + ">";
        return false;
      }
      open.pop_back();
    } else if (m[4] != "/") {
      if (open.empty() && rootSeen) {
        why = "second root";
        return false;
      }
      open.push_back(m[2]);
      rootSeen = true;
    }
    at = lt + static_cast<std::size_t>(m.length(0));
  }
  if (!open.empty()) why = "unclosed <" + open.back() + ">";
  return rootSeen && open.empty();
}

// The chart: taps on down, left, right, up, a jump on left and right, a freeze on down (its
// release is no landing).
constexpr const char* kChart =
    "#TITLE:Sheet & <Test>;\n#BPM:120;\n#GAP:0;\n#SINGLE:BASIC:1:2468B02!200200;\n";

struct Sheet {
  Sheet() : read(test::ReadDwi(kChart)) {
    request = {&read->song, read->song.scores.front().get(), 0, true};
    Synthesize(request, motion);
    sheet = SheetFromChart(request, motion);
  }
  std::unique_ptr<test::DwiRead> read;
  GenerationRequest request;
  MotionDocument motion;
  DanceSheet sheet;
};

// "L1@15" for the left foot landing on panel 1 at frame 15; "+" marks a jump.
std::string StepsText(const DanceSheet& sheet) {
  std::string text;
  for (const auto& s : sheet.steps) {
    if (!text.empty()) text += ' ';
    text += s.step.foot == Foot::kLeft ? 'L' : 'R';
    text += std::to_string(s.panel) + "@" + std::to_string(s.step.frameNumber);
    if (s.step.jump) text += '+';
    if (s.step.crossed) text += 'x';
  }
  return text;
}

TEST(DanceSheet, HasAFootprintPerLandingOnThePanelTheMotionSays) {
  const Sheet s;
  ASSERT_EQ(s.sheet.layout.Panels().size(), 4u);
  // Half a beat (24 ticks) is 7.5 frames at 120 BPM.
  EXPECT_EQ(StepsText(s.sheet), "R1@0 L0@7 R3@15 L2@22 L0@30+ R3@30+ R1@45");
  ASSERT_EQ(s.sheet.holds.size(), 1u);
  EXPECT_EQ(s.sheet.holds[0].panel, 1);
  EXPECT_FALSE(s.sheet.holds[0].left);  // the right foot stepped onto the freeze
  EXPECT_DOUBLE_EQ(s.sheet.holds[0].from, 1.5);
  EXPECT_DOUBLE_EQ(s.sheet.holds[0].to, 2.25);
  // A line per beat, heavier every fourth.
  ASSERT_GE(s.sheet.grid.size(), 5u);
  EXPECT_DOUBLE_EQ(s.sheet.grid[1].seconds, 0.5);
  EXPECT_TRUE(s.sheet.grid[0].heavy && s.sheet.grid[4].heavy && !s.sheet.grid[1].heavy);
}

TEST(DanceSheet, IsWellFormedSvgWithTheFeetInTheirColours) {
  const Sheet s;
  const std::string svg = RenderSheetSvg(s.sheet);
  std::string why;
  EXPECT_TRUE(WellFormed(svg, why)) << why;
  EXPECT_NE(svg.find("<title>Sheet &amp; &lt;Test&gt; SINGLE BASIC</title>"), std::string::npos);
  std::size_t left = 0;
  std::size_t right = 0;
  for (std::size_t at = svg.find("href=\"#"); at != std::string::npos;
       at = svg.find("href=\"#", at + 1)) {
    left += svg[at + 7] == 'L';
    right += svg[at + 7] == 'R';
  }
  EXPECT_EQ(left, 3u);
  EXPECT_EQ(right, 4u);
  EXPECT_NE(svg.find("<g id=\"L\"><ellipse rx=\"10\" ry=\"13\" fill=\"#1f6fd1\"/>"),
            std::string::npos);
  EXPECT_NE(svg.find("<g id=\"R\"><ellipse rx=\"10\" ry=\"13\" fill=\"#e8590c\"/>"),
            std::string::npos);
  EXPECT_FALSE(WellFormed("<svg><g></svg></g>", why));
  EXPECT_FALSE(WellFormed("<svg a=b/>", why));
}

TEST(DanceSheet, AWrittenMotionReadBackGivesTheSameSteps) {
  const Sheet s;
  const VmdMotion motion = ReadVmd(SerializeVmd(s.motion), "sheet.vmd");
  const DanceSheet fromFile = SheetFromVmd(motion, u"sheet.vmd");
  EXPECT_EQ(StepsText(fromFile), StepsText(s.sheet));
  EXPECT_TRUE(fromFile.holds.empty());
}

TEST(DanceSheet, DoubleChartsHaveEightColumns) {
  const auto read = test::ReadDwi("#BPM:120;\n#DOUBLE:BASIC:1:4000:0006;\n");
  const GenerationRequest request{&read->song, read->song.scores.front().get(), 0, true};
  MotionDocument motion;
  Synthesize(request, motion);
  const DanceSheet sheet = SheetFromChart(request, motion);
  ASSERT_EQ(sheet.layout.Panels().size(), 8u);
  EXPECT_EQ(StepsText(sheet), "L0@0 R7@22");
  EXPECT_EQ(SheetFromVmd(ReadVmd(SerializeVmd(motion), "d.vmd"), u"d").layout.Panels().size(), 8u);
}

// In the example song the feet cross several times: each crossed landing has the left foot right
// of the right one, and gets its mark in the margin.
TEST(DanceSheet, MarksCrossedStances) {
  const auto read = test::ReadDwi(ReadFile(PAVANEFLOW_SOURCE_DIR "/examples/demo.dwi"));
  const GenerationRequest request{&read->song, read->song.scores.front().get(), 0, true};
  MotionDocument motion;
  Synthesize(request, motion);
  const DanceSheet sheet = SheetFromChart(request, motion);
  const BoneTrack left = BoneTrack::FromDocument(motion, kLeftFootIkBone);
  const BoneTrack right = BoneTrack::FromDocument(motion, kRightFootIkBone);
  std::size_t crossed = 0;
  for (const auto& s : sheet.steps) {
    const double frame = s.step.frameNumber;
    const double leftX = left.At(frame).position[0] + 0.9;
    const double rightX = right.At(frame).position[0] - 0.9;
    EXPECT_EQ(s.step.crossed, leftX > rightX + 1e-3) << s.step.frameNumber;
    crossed += s.step.crossed;
  }
  EXPECT_GT(crossed, 0u);
  const std::string svg = RenderSheetSvg(sheet);
  std::size_t marks = 0;
  for (auto at = svg.find("l10,10"); at != std::string::npos; at = svg.find("l10,10", at + 1)) {
    ++marks;
  }
  EXPECT_EQ(marks, crossed);
}

}  // namespace
}  // namespace pavaneflow
