#include "motion/feet/whole_chart_foot_planner.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/dwi_document.h"
#include "motion/feet/foot_plan.h"
#include "motion/figures/footwork_figures.h"
#include "motion/pad/pad_geometry.h"
#include "support/dwi_fixture.h"

namespace pavaneflow {
namespace {

// A chart read from DWI text ("#SINGLE:BASIC:1:2626;") at `bpm`, footed by the planner.
class Planned {
 public:
  Planned(const std::string& chart, int bpm)
      : read_(test::ReadDwi("#BPM:" + std::to_string(bpm) + ";\n" + chart + '\n')) {
    request_ = {&read_->song, read_->song.scores.front().get(), 0, true};
    request_.feet = &planner_;
  }

  // The pose after every Frame with Notes, in order.
  std::vector<StepPose> Rows() const {
    const ClassicTiming timing(read_->song.bpm);
    const Lane& lane = *request_.score->lanes.front();
    const auto footing = planner_.Start(request_, lane, timing);
    std::vector<StepPose> rows;
    StepPose previous;
    StartPose(request_, previous);
    for (const Frame& frame : lane.frames) {
      StepPose current;
      footing->Step(previous, frame, current);
      if (!frame.notes.empty()) rows.push_back(current);
      previous = current;
    }
    return rows;
  }
  FootworkFigures Figures() const { return MeasureFootwork(request_); }

  // How far apart (floor units) the feet of a DOUBLE chart stood at the widest after a row that
  // left them crossed over the two pads: the left foot on the second pad (x > 0), the right on the
  // first.
  double WidestCrossingOverThePads() const {
    double widest = 0.0;
    for (const StepPose& row : Rows()) {
      const FloorPoint left = ArrowPosition(request_, row.left.arrow);
      const FloorPoint right = ArrowPosition(request_, row.right.arrow);
      if (left.x <= 0.0f || right.x >= 0.0f) continue;
      const double dx = static_cast<double>(left.x) - static_cast<double>(right.x);
      const double dz = static_cast<double>(left.z) - static_cast<double>(right.z);
      widest = std::max(widest, std::hypot(dx, dz));
    }
    return widest;
  }

 private:
  std::unique_ptr<test::DwiRead> read_;
  WholeChartFootPlanner planner_;
  GenerationRequest request_;
};

TEST(WholeChartFootPlanner, TakesTheObviousFooting) {
  struct Case {
    const char* name;
    std::string chart;
    int bpm;
    std::int64_t mostCrossedRows;
    std::int64_t mostCrossovers;
    std::int64_t mostUnforcedDoubleSteps;
  };
  const Case cases[] = {
      {"a trill of down and right stays uncrossed", "#SINGLE:BASIC:1:2626262626262626;", 150, 0, 0,
       0},
      {"left down right down left crosses at most once", "#SINGLE:BASIC:1:42624;", 150, 2, 1, 0},
      {"DOUBLE: left of the first pad and right of the second in turn",
       "#DOUBLE:BASIC:1:40404040:06060606;", 150, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FootworkFigures figures = Planned(c.chart, c.bpm).Figures();
    EXPECT_LE(figures.crossedRows, c.mostCrossedRows);
    EXPECT_LE(figures.Crossovers(), c.mostCrossovers);
    EXPECT_LE(figures.unforcedDoubleSteps, c.mostUnforcedDoubleSteps);
    EXPECT_EQ(figures.droppedNotes, 0);
  }
}

TEST(WholeChartFootPlanner, StepsRoundRatherThanCrossingOverTwoPads) {
  // Crossed over the two pads of a DOUBLE chart (one foot on down or up of one pad, the other
  // on the near arrow of the other pad) the legs cannot reach straight: these streams were
  // once footed that way. Crossing on the two arrows either side of the gap (4 apart) stays
  // allowed.
  struct Case {
    const char* name;
    std::string chart;
  };
  const Case cases[] = {
      {"right of the first pad, then down, up and right of the second",
       "#DOUBLE:BASIC:1:606000000060:802060002000;"},
      {"left of the second pad, then down, up and left of the first (the same, mirrored)",
       "#DOUBLE:BASIC:1:802040002000:404000000040;"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Planned planned(c.chart, 150);
    EXPECT_LE(planned.WidestCrossingOverThePads(), 6.0);
    EXPECT_EQ(planned.Figures().droppedNotes, 0);
  }
}

TEST(WholeChartFootPlanner, AStreamUnderAFreezeGoesToTheFreeFoot) {
  // A freeze on left from tick 0 to 120, and down, up, right, up under it.
  const auto rows = Planned("#SINGLE:BASIC:1:4!428684;", 150).Rows();
  ASSERT_EQ(rows.size(), 6u);  // the last holds the freeze end alone
  EXPECT_EQ(rows[0].left.arrow, u'0');
  EXPECT_TRUE(rows[0].left.held);
  for (std::size_t i = 1; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(rows[i].left.arrow, u'0');
    EXPECT_FALSE(rows[i].left.moved);
    EXPECT_TRUE(rows[i].right.moved);
  }
  EXPECT_TRUE(rows[4].left.held);
  EXPECT_FALSE(rows[5].left.held);
  EXPECT_FALSE(rows[5].left.moved);
}

TEST(WholeChartFootPlanner, AJumpLandsBothFeet) {
  const auto rows = Planned("#SINGLE:BASIC:1:20B0A0;", 150).Rows();
  ASSERT_EQ(rows.size(), 3u);
  for (std::size_t i = 1; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(rows[i].left.moved);
    EXPECT_TRUE(rows[i].right.moved);
  }
  EXPECT_EQ(rows[1].left.arrow, u'0');
  EXPECT_EQ(rows[1].right.arrow, u'3');
}

TEST(WholeChartFootPlanner, SwitchesFeetOnAFastRepeatedArrowOnly) {
  struct Case {
    const char* name;
    std::string chart;
    int bpm;
    bool switches;
  };
  const Case cases[] = {
      {"sixteenths at 200 BPM", "#SINGLE:BASIC:1:(2222);", 200, true},
      {"quarters at 100 BPM", "#SINGLE:BASIC:1:2020202;", 100, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FootworkFigures figures = Planned(c.chart, c.bpm).Figures();
    EXPECT_EQ(figures.footswitches > 0, c.switches);
    EXPECT_EQ(figures.fastJacks, 0);
  }
}

TEST(WholeChartFootPlanner, DropsOnlyWhatNoFreeFootCanTake) {
  // Both feet hold a freeze when the down arrow comes.
  const FootworkFigures figures = Planned("#SINGLE:BASIC:1:4!46!6244;", 150).Figures();
  EXPECT_EQ(figures.droppedNotes, 1);
}

// A long chart of taps, jumps and freezes from a fixed seed.
std::string RandomChart(unsigned seed) {
  std::mt19937 random(seed);
  const char steps[] = "2468246824680BA1379";
  std::string body;
  for (int i = 0; i < 3000; ++i) {
    body += steps[random() % (sizeof steps - 1)];
    if (random() % 40 == 0) body += "!" + std::string(1, body.back());
  }
  return "#SINGLE:BASIC:1:(" + body + ");";
}

TEST(WholeChartFootPlanner, PlansTheSameEveryRun) {
  const auto read = test::ReadDwi("#BPM:180;\n" + RandomChart(14) + '\n');
  const GenerationRequest request{&read->song, read->song.scores.front().get(), 0, true};
  const ClassicTiming timing(read->song.bpm);
  const Lane& lane = *request.score->lanes.front();
  const auto first = PlanFeet(request, lane, timing, FootCosts{});
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first, PlanFeet(request, lane, timing, FootCosts{}));
}

const std::filesystem::path kCorpus = PAVANEFLOW_CORPUS_DIR;

// Over the public corpus: a holding foot never moves, no Lane drops more than the classic rule,
// and the legs stay uncrossed far more often.
TEST(WholeChartFootPlanner, KeepsTheRulesOverTheCorpus) {
  if (!std::filesystem::is_directory(kCorpus)) GTEST_SKIP() << "no corpus at " << kCorpus;
  const WholeChartFootPlanner planner;
  FootworkFigures classic, planned;
  for (const auto& entry : std::filesystem::directory_iterator(kCorpus)) {
    if (entry.path().extension() != ".dwi") continue;
    DWIDocument song;
    ASSERT_TRUE(song.OnOpenDocument(entry.path()));
    for (const auto& score : song.scores) {
      for (std::int32_t player = 0; player < (score->mode == kCouple ? 2 : 1); ++player) {
        SCOPED_TRACE(entry.path().filename().string() + " " + test::Utf8(score->name));
        GenerationRequest request{&song, score.get(), player, true};
        const FootworkFigures before = MeasureFootwork(request);
        request.feet = &planner;
        const FootworkFigures after = MeasureFootwork(request);
        EXPECT_LE(after.droppedNotes, before.droppedNotes);
        classic += before;
        planned += after;

        const Lane* lane = score->FindLane(player);
        if (lane == nullptr) continue;
        const ClassicTiming timing(song.bpm);
        const auto footing = planner.Start(request, *lane, timing);
        StepPose previous;
        StartPose(request, previous);
        for (const Frame& frame : lane->frames) {
          StepPose current;
          footing->Step(previous, frame, current);
          for (auto [was, is] :
               {std::pair{previous.left, current.left}, std::pair{previous.right, current.right}}) {
            if (was.held) {
              ASSERT_EQ(is.arrow, was.arrow) << "tick " << frame.tick;
              ASSERT_FALSE(is.moved) << "tick " << frame.tick;
            }
          }
          ASSERT_NE(current.left.arrow, current.right.arrow) << "tick " << frame.tick;
          previous = current;
        }
      }
    }
  }
  ASSERT_GT(planned.stepRows, 0);
  EXPECT_LE(planned.crossedRows * 100, planned.stepRows * 12);
  EXPECT_LE(planned.Crossovers() * 100, planned.stepRows * 7);
  EXPECT_LE(planned.unforcedDoubleSteps * 100, planned.stepRows * 3);
  EXPECT_LE(planned.droppedNotes, classic.droppedNotes);
}

}  // namespace
}  // namespace pavaneflow
