#include "motion/figures/footwork_figures.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/song_document.h"
#include "motion/feet/foot_planner.h"
#include "motion/pad/pad_geometry.h"

namespace pavaneflow {
namespace {

// One step row of a scripted footing: where the feet stand after it and which of them stepped
// there (a foot that stands somewhere new without stepping stepped aside).
struct Row {
  Tick tick;
  ArrowCode left;
  ArrowCode right;
  bool leftMoved;
  bool rightMoved;
  bool leftHeld = false;
  bool rightHeld = false;
};

// Hands out the script row by row, whatever the chart says.
class ScriptedPlanner : public FootPlanner {
 public:
  explicit ScriptedPlanner(std::vector<Row> rows) : rows_(std::move(rows)) {}
  std::unique_ptr<Footing> Start(const GenerationRequest& request, const Lane&,
                                 const TimingMap&) const override {
    return std::make_unique<Scripted>(request, rows_);
  }

 private:
  class Scripted : public Footing {
   public:
    Scripted(const GenerationRequest& request, const std::vector<Row>& rows)
        : request_(request), rows_(rows) {}
    void Step(const StepPose& previous, const Frame& frame, StepPose& current) override {
      current.left = previous.left;
      current.right = previous.right;
      current.left.moved = current.right.moved = false;
      if (!frame.notes.empty()) {
        const Row& row = rows_[next_++];
        current.left = {{}, row.left, row.leftHeld, row.leftMoved};
        current.right = {{}, row.right, row.rightHeld, row.rightMoved};
      }
      PlaceFeet(request_, current);
    }

   private:
    const GenerationRequest& request_;
    const std::vector<Row>& rows_;
    std::size_t next_ = 0;
  };
  std::vector<Row> rows_;
};

// The figures of a SINGLE chart at `bpm` whose rows put a tap under every foot that stepped.
FootworkFigures Measure(float bpm, const std::vector<Row>& rows) {
  SongDocument song;
  song.bpm = bpm;
  auto score = std::make_unique<Score>();
  for (const Row& row : rows) {
    Frame* frame = score->GetLane(0)->GetFrame(row.tick);
    if (row.leftMoved) frame->AddNotes(std::u16string(1, row.left));
    if (row.rightMoved) frame->AddNotes(std::u16string(1, row.right));
  }
  song.scores.push_back(std::move(score));
  const ScriptedPlanner planner(rows);
  GenerationRequest request{&song, song.scores.front().get(), 0, true};
  request.feet = &planner;
  return MeasureFootwork(request);
}

TEST(FootworkFigures, CountsEachFigureAsDefined) {
  struct Case {
    const char* name;
    float bpm;
    std::vector<Row> rows;
    FootworkFigures expected;
  };
  auto figures = [](auto set) {
    FootworkFigures f;
    set(f);
    return f;
  };
  const Case cases[] = {
      {"left down right down left, crossing once: one full crossover, two crossed rows",
       150,
       {{0, u'0', u'3', true, false},
        {24, u'0', u'1', false, true},
        {48, u'3', u'1', true, false},
        {72, u'3', u'1', false, true},
        {96, u'0', u'1', true, false}},
       figures([](FootworkFigures& f) {
         f.stepRows = 5;
         f.crossedRows = 2;
         f.longestCrossedRun = 2;
         f.fullCrossovers = 1;
       })},
      {"a foot crossing from the middle is a half crossover",
       150,
       {{0, u'0', u'1', false, true}, {24, u'2', u'1', true, false}, {48, u'2', u'0', false, true}},
       figures([](FootworkFigures& f) {
         f.stepRows = 3;
         f.crossedRows = 1;
         f.longestCrossedRun = 1;
         f.halfCrossovers = 1;
       })},
      {"one foot on two arrows an eighth apart at 150 BPM: a short unforced double step",
       150,
       {{0, u'0', u'1', false, true}, {24, u'0', u'2', false, true}},
       figures([](FootworkFigures& f) {
         f.stepRows = 2;
         f.unforcedDoubleSteps = 1;
         f.shortUnforcedDoubleSteps = 1;
       })},
      {"the same a quarter apart is not short, and beside a held freeze it is forced",
       150,
       {{0, u'0', u'1', true, false, true},
        {24, u'0', u'1', false, true, true},
        {72, u'0', u'2', false, true, true}},
       figures([](FootworkFigures& f) {
         f.stepRows = 3;
         f.forcedDoubleSteps = 1;
       })},
      {"one arrow a sixteenth apart at 200 BPM by one foot: a fast jack; slower is none",
       200,
       {{0, u'0', u'1', false, true}, {12, u'0', u'1', false, true}, {60, u'0', u'1', false, true}},
       figures([](FootworkFigures& f) {
         f.stepRows = 3;
         f.fastJacks = 1;
       })},
      {"the other foot takes the arrow as the first steps aside: a footswitch",
       150,
       {{0, u'0', u'1', false, true}, {24, u'1', u'3', true, false}},
       figures([](FootworkFigures& f) {
         f.stepRows = 2;
         f.footswitches = 1;
       })},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FootworkFigures got = Measure(c.bpm, c.rows);
    const FootworkFigures& want = c.expected;
    EXPECT_EQ(got.stepRows, want.stepRows);
    EXPECT_EQ(got.crossedRows, want.crossedRows);
    EXPECT_EQ(got.longestCrossedRun, want.longestCrossedRun);
    EXPECT_EQ(got.fullCrossovers, want.fullCrossovers);
    EXPECT_EQ(got.halfCrossovers, want.halfCrossovers);
    EXPECT_EQ(got.unforcedDoubleSteps, want.unforcedDoubleSteps);
    EXPECT_EQ(got.shortUnforcedDoubleSteps, want.shortUnforcedDoubleSteps);
    EXPECT_EQ(got.forcedDoubleSteps, want.forcedDoubleSteps);
    EXPECT_EQ(got.shortForcedDoubleSteps, want.shortForcedDoubleSteps);
    EXPECT_EQ(got.fastJacks, want.fastJacks);
    EXPECT_EQ(got.footswitches, want.footswitches);
    EXPECT_EQ(got.droppedNotes, want.droppedNotes);
  }
}

TEST(FootworkFigures, ClassicFeetDropATapUnderHoldingFeet) {
  SongDocument song;
  song.bpm = 150;
  auto score = std::make_unique<Score>();
  Lane* lane = score->GetLane(0);
  lane->GetFrame(0)->MarkFreezeStarts(u"0");
  lane->GetFrame(24)->MarkFreezeStarts(u"3");
  lane->GetFrame(48)->AddNotes(u"1");
  song.scores.push_back(std::move(score));
  const FootworkFigures figures = MeasureFootwork({&song, song.scores.front().get(), 0, true});
  EXPECT_EQ(figures.stepRows, 3);
  EXPECT_EQ(figures.droppedNotes, 1);
}

TEST(FootworkFigures, NoLaneCountsNothing) {
  SongDocument song;
  song.scores.push_back(std::make_unique<Score>());
  EXPECT_EQ(MeasureFootwork({&song, song.scores.front().get(), 1, true}).stepRows, 0);
}

}  // namespace
}  // namespace pavaneflow
