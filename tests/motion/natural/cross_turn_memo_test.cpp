#include "motion/natural/cross_turn_memo.h"

#include <cmath>
#include <cstddef>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

namespace pavaneflow {
namespace {

using Question = CrossTurnMemo::Question;

// A question one bit away in any part asks about other feet, another start or another leg to keep
// in front, whose search may give another turn; +0 and -0 compare equal but are two questions for
// the same reason.
TEST(CrossTurnMemo, AnswersOnlyTheVeryQuestionRemembered) {
  const Question asked{3.0, -0.5, 0.0, {1.25f, -2.5f}, {-1.25f, 2.5f}};
  const Question zero{0.0, 0.0, 0.0, {0.0f, 0.0f}, {0.0f, 0.0f}};
  struct Case {
    const char* name;
    Question remembered;
    Question other;
  };
  const std::vector<Case> cases = {
      {"yaw", asked, {std::nextafter(3.0, 4.0), -0.5, 0.0, {1.25f, -2.5f}, {-1.25f, 2.5f}}},
      {"start", asked, {3.0, std::nextafter(-0.5, 0.0), 0.0, {1.25f, -2.5f}, {-1.25f, 2.5f}}},
      {"left x", asked, {3.0, -0.5, 0.0, {std::nextafter(1.25f, 2.0f), -2.5f}, {-1.25f, 2.5f}}},
      {"left z", asked, {3.0, -0.5, 0.0, {1.25f, std::nextafter(-2.5f, 0.0f)}, {-1.25f, 2.5f}}},
      {"right x", asked, {3.0, -0.5, 0.0, {1.25f, -2.5f}, {std::nextafter(-1.25f, 0.0f), 2.5f}}},
      {"right z", asked, {3.0, -0.5, 0.0, {1.25f, -2.5f}, {-1.25f, std::nextafter(2.5f, 3.0f)}}},
      {"feet swapped", asked, {3.0, -0.5, 0.0, {-1.25f, 2.5f}, {1.25f, -2.5f}}},
      // The leg kept in front: the other side's turn is another answer.
      {"in front", asked, {3.0, -0.5, 1.0, {1.25f, -2.5f}, {-1.25f, 2.5f}}},
      {"behind", asked, {3.0, -0.5, -1.0, {1.25f, -2.5f}, {-1.25f, 2.5f}}},
      {"yaw -0", zero, {-0.0, 0.0, 0.0, {0.0f, 0.0f}, {0.0f, 0.0f}}},
      {"start -0", zero, {0.0, -0.0, 0.0, {0.0f, 0.0f}, {0.0f, 0.0f}}},
      {"left x -0", zero, {0.0, 0.0, 0.0, {-0.0f, 0.0f}, {0.0f, 0.0f}}},
  };
  for (const Case& c : cases) {
    CrossTurnMemo memo;
    memo.Remember(c.remembered, 2.75);
    EXPECT_FALSE(memo.Find(c.other).has_value()) << c.name;
    EXPECT_EQ(memo.Find(c.remembered), std::optional<double>(2.75)) << c.name;
  }
}

// Many questions share few slots: whatever was pushed out, every answer found must be the one
// remembered for that very question, and the latest one is always found.
TEST(CrossTurnMemo, NeverAnswersWithAnotherQuestionsTurn) {
  CrossTurnMemo memo;
  std::vector<Question> asked;
  for (int i = 0; i < 2000; ++i) {
    asked.push_back({0.01 * i,
                     -0.02 * (i % 7),
                     static_cast<double>(i % 3 - 1),
                     {0.5f * static_cast<float>(i % 5), 1.0f},
                     {-0.5f * static_cast<float>(i % 3), -1.0f}});
    memo.Remember(asked.back(), static_cast<double>(i));
    ASSERT_EQ(memo.Find(asked.back()), std::optional<double>(static_cast<double>(i))) << i;
  }
  int found = 0;
  for (std::size_t i = 0; i < asked.size(); ++i) {
    const std::optional<double> turn = memo.Find(asked[i]);
    if (!turn) continue;
    ++found;
    EXPECT_EQ(*turn, static_cast<double>(i)) << i;
  }
  EXPECT_GT(found, 0);
}

}  // namespace
}  // namespace pavaneflow
