#include "motion/feet/assign_feet.h"

#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "chart/score.h"
#include "motion/pad/pad_geometry.h"

namespace pavaneflow {
namespace {

constexpr ArrowCode kSecondPadLeft = u'\u0040';

struct Feet {
  ArrowCode left;
  bool leftHeld;
  ArrowCode right;
  bool rightHeld;
  bool leftNext;
};

struct Moved {
  bool left;
  bool right;
};

Note Tap(ArrowCode a) {
  return {a, kTap};
}
Note Hold(ArrowCode a) {
  return {a, kFreezeStart};
}
Note Release(ArrowCode a) {
  return {a, kFreezeEnd};
}

TEST(AssignFeet, DecidesWhichFootTakesWhichArrow) {
  struct Case {
    const char* name;
    ChartMode mode;
    Feet before;
    std::vector<Note> notes;
    Feet after;
    Moved moved;
  };
  const Case cases[] = {
      {"first step goes to the right foot",
       kSingle,
       {u'0', false, u'3', false, false},
       {Tap(u'1')},
       {u'0', false, u'1', false, true},
       {false, true}},
      {"a foot takes the arrow it stands on again",
       kSingle,
       {u'0', false, u'1', false, true},
       {Tap(u'1')},
       {u'0', false, u'1', false, true},
       {false, true}},
      {"a new arrow goes to the lead foot",
       kSingle,
       {u'0', false, u'1', false, true},
       {Tap(u'2')},
       {u'2', false, u'1', false, false},
       {true, false}},
      {"jump onto the arrows under the feet",
       kSingle,
       {u'0', false, u'3', false, false},
       {Tap(u'0'), Tap(u'3')},
       {u'0', false, u'3', false, false},
       {true, true}},
      {"jump onto two new arrows, right leads",
       kSingle,
       {u'0', false, u'3', false, false},
       {Tap(u'1'), Tap(u'2')},
       {u'2', false, u'1', false, false},
       {true, true}},
      {"jump onto two new arrows, left leads",
       kSingle,
       {u'0', false, u'3', false, true},
       {Tap(u'1'), Tap(u'2')},
       {u'1', false, u'2', false, true},
       {true, true}},
      {"freeze start on the arrow under the left foot",
       kSingle,
       {u'0', false, u'3', false, false},
       {Hold(u'0')},
       {u'0', true, u'3', false, false},
       {true, false}},
      {"the free foot steps while the other holds",
       kSingle,
       {u'0', true, u'3', false, false},
       {Tap(u'1')},
       {u'0', true, u'1', false, true},
       {false, true}},
      {"a holding lead foot is passed over",
       kSingle,
       {u'0', true, u'1', false, true},
       {Tap(u'2')},
       {u'0', true, u'2', false, true},
       {false, true}},
      {"a foot still holds while its freeze ends",
       kSingle,
       {u'0', true, u'3', false, true},
       {Release(u'0'), Tap(u'1')},
       {u'0', false, u'1', false, true},
       {false, true}},
      {"both feet holding drop a tap",
       kSingle,
       {u'0', true, u'3', true, false},
       {Tap(u'1')},
       {u'0', true, u'3', true, false},
       {false, false}},
      {"a tap under a holding foot is dropped",
       kSingle,
       {u'0', true, u'3', false, true},
       {Tap(u'0')},
       {u'0', true, u'3', false, true},
       {false, false}},
      {"freeze ends only release",
       kSingle,
       {u'0', true, u'3', true, true},
       {Release(u'3'), Release(u'0')},
       {u'0', false, u'3', false, true},
       {false, false}},
      {"a freeze end under neither foot changes nothing",
       kSingle,
       {u'0', true, u'3', false, false},
       {Release(u'2')},
       {u'0', true, u'3', false, false},
       {false, false}},
      {"a frame without notes keeps everything",
       kSingle,
       {u'2', true, u'1', false, true},
       {},
       {u'2', true, u'1', false, true},
       {false, false}},
      {"the free foot re-takes its arrow while the other holds",
       kSingle,
       {u'0', true, u'3', false, false},
       {Tap(u'3')},
       {u'0', true, u'3', false, true},
       {false, true}},
      {"DOUBLE: a lone note on the first pad leads with the left foot",
       kDouble,
       {u'3', false, kSecondPadLeft, false, false},
       {Tap(u'0')},
       {u'0', false, kSecondPadLeft, false, false},
       {true, false}},
      {"DOUBLE: a lone note on the second pad leads with the right foot",
       kDouble,
       {u'3', false, kSecondPadLeft, false, true},
       {Tap(u'C')},
       {u'3', false, u'C', false, true},
       {false, true}},
      {"DOUBLE: two notes from the middle cross the feet",
       kDouble,
       {u'3', false, kSecondPadLeft, false, false},
       {Tap(u'0'), Tap(u'C')},
       {u'C', false, u'0', false, false},
       {true, true}},
      {"DOUBLE: a lone freeze end in the middle sets the lead",
       kDouble,
       {u'3', true, kSecondPadLeft, false, false},
       {Release(u'3')},
       {u'3', false, kSecondPadLeft, false, true},
       {false, false}},
      {"SINGLE: the DOUBLE middle rule does not apply",
       kSingle,
       {u'3', false, kSecondPadLeft, false, false},
       {Tap(u'0')},
       {u'3', false, u'0', false, true},
       {false, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Score score;
    score.mode = c.mode;
    GenerationRequest request;
    request.score = &score;
    StepPose previous(0, true);
    previous.left = {{}, c.before.left, c.before.leftHeld, true};
    previous.right = {{}, c.before.right, c.before.rightHeld, true};
    previous.leftNext = c.before.leftNext;
    Frame frame(24);
    frame.notes = c.notes;
    StepPose current(7, false);

    AssignFeet(previous, frame, current, request);

    EXPECT_EQ(current.left.arrow, c.after.left);
    EXPECT_EQ(current.left.held, c.after.leftHeld);
    EXPECT_EQ(current.right.arrow, c.after.right);
    EXPECT_EQ(current.right.held, c.after.rightHeld);
    EXPECT_EQ(current.leftNext, c.after.leftNext);
    EXPECT_EQ(current.left.moved, c.moved.left);
    EXPECT_EQ(current.right.moved, c.moved.right);
    EXPECT_NE(current.left.arrow, current.right.arrow);
    // The feet are placed from the arrows they ended on, moved or not.
    EXPECT_EQ(current.left.position.z, ArrowPosition(request, current.left.arrow).z);
    EXPECT_EQ(current.right.position.z, ArrowPosition(request, current.right.arrow).z);
    EXPECT_EQ(current.frameNumber, 7);
    EXPECT_FALSE(current.onBeat);
  }
}

TEST(AssignFeet, FacesTheWayTheFeetEndedUp) {
  struct Case {
    ChartMode mode;
    Feet before;
    std::vector<Note> notes;
    double facing;
  };
  const double pi = std::numbers::pi;
  const Case cases[] = {
      {kSingle, {u'0', false, u'3', false, false}, {Tap(u'1')}, 5 * pi / 4},
      {kSingle, {u'0', false, u'1', false, true}, {Tap(u'2')}, 3 * pi / 2},
      {kSingle, {u'0', false, u'3', false, true}, {Tap(u'1'), Tap(u'2')}, pi / 2},
      {kDouble, {u'3', false, kSecondPadLeft, false, false}, {Tap(u'0'), Tap(u'C')}, 2 * pi},
  };
  for (const Case& c : cases) {
    Score score;
    score.mode = c.mode;
    GenerationRequest request;
    request.score = &score;
    StepPose previous(0, true);
    previous.left.arrow = c.before.left;
    previous.right.arrow = c.before.right;
    previous.leftNext = c.before.leftNext;
    Frame frame(0);
    frame.notes = c.notes;
    StepPose current(0, true);
    AssignFeet(previous, frame, current, request);
    EXPECT_FLOAT_EQ(current.facing, static_cast<float>(c.facing));
  }
}

TEST(AssignFeet, CrossedDoubleFeetStandOnTheOuterArrows) {
  Score score;
  score.mode = kDouble;
  GenerationRequest request;
  request.score = &score;
  StepPose previous(0, true);
  StartPose(request, previous);
  Frame frame(0);
  frame.notes = {Tap(u'0'), Tap(u'C')};
  StepPose current(0, true);
  AssignFeet(previous, frame, current, request);
  EXPECT_EQ(current.left.position, (FloorPoint{9.1f, 0}));
  EXPECT_EQ(current.right.position, (FloorPoint{-9.1f, 0}));
  EXPECT_EQ(current.centre, (FloorPoint{0, 0}));
}

}  // namespace
}  // namespace pavaneflow
