#include "motion/natural/cross_turn_memo.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

namespace pavaneflow {
namespace {

using Question = CrossTurnMemo::Question;

// A question one bit away in any part asks about other feet or another start: the answer of
// its neighbour would be a different turn than the search gives.
TEST(CrossTurnMemo, AnswersOnlyTheVeryQuestionRemembered) {
  const Question asked{3.0, -0.5, {1.25f, -2.5f}, {-1.25f, 2.5f}};
  struct Case {
    const char* name;
    Question other;
  };
  const std::vector<Case> cases = {
      {"yaw", {std::nextafter(3.0, 4.0), -0.5, {1.25f, -2.5f}, {-1.25f, 2.5f}}},
      {"start", {3.0, std::nextafter(-0.5, 0.0), {1.25f, -2.5f}, {-1.25f, 2.5f}}},
      {"left x", {3.0, -0.5, {std::nextafter(1.25f, 2.0f), -2.5f}, {-1.25f, 2.5f}}},
      {"left z", {3.0, -0.5, {1.25f, std::nextafter(-2.5f, 0.0f)}, {-1.25f, 2.5f}}},
      {"right x", {3.0, -0.5, {1.25f, -2.5f}, {std::nextafter(-1.25f, 0.0f), 2.5f}}},
      {"right z", {3.0, -0.5, {1.25f, -2.5f}, {-1.25f, std::nextafter(2.5f, 3.0f)}}},
      {"feet swapped", {3.0, -0.5, {-1.25f, 2.5f}, {1.25f, -2.5f}}},
  };
  for (const Case& c : cases) {
    CrossTurnMemo memo;
    memo.Remember(asked, 2.75);
    EXPECT_FALSE(memo.Find(c.other).has_value()) << c.name;
    ASSERT_EQ(memo.Find(asked), std::optional<double>(2.75)) << c.name;
  }
}

// +0 and -0 compare equal but are two starts; a memo that took one for the other would still
// be right only by luck of the search.
TEST(CrossTurnMemo, TellsSignedZerosApart) {
  CrossTurnMemo memo;
  memo.Remember({0.0, 0.0, {0.0f, 0.0f}, {0.0f, 0.0f}}, 1.0);
  EXPECT_FALSE(memo.Find({-0.0, 0.0, {0.0f, 0.0f}, {0.0f, 0.0f}}).has_value());
  EXPECT_FALSE(memo.Find({0.0, -0.0, {0.0f, 0.0f}, {0.0f, 0.0f}}).has_value());
  EXPECT_FALSE(memo.Find({0.0, 0.0, {-0.0f, 0.0f}, {0.0f, 0.0f}}).has_value());
  EXPECT_EQ(memo.Find({0.0, 0.0, {0.0f, 0.0f}, {0.0f, 0.0f}}), std::optional<double>(1.0));
}

// Many questions share few slots: whatever was pushed out, every answer found must be the one
// remembered for that very question, and the latest one is always found.
TEST(CrossTurnMemo, NeverAnswersWithAnotherQuestionsTurn) {
  CrossTurnMemo memo;
  std::vector<Question> asked;
  for (int i = 0; i < 500; ++i) {
    const Question q{0.01 * i,
                     -0.02 * (i % 7),
                     {0.5f * static_cast<float>(i % 5), 1.0f},
                     {-0.5f * static_cast<float>(i % 3), -1.0f}};
    asked.push_back(q);
    memo.Remember(q, static_cast<double>(i));
    ASSERT_EQ(memo.Find(q), std::optional<double>(static_cast<double>(i))) << i;
  }
  int found = 0;
  for (int i = 0; i < 500; ++i) {
    const std::optional<double> turn = memo.Find(asked[static_cast<std::size_t>(i)]);
    if (!turn) continue;
    ++found;
    EXPECT_EQ(*turn, static_cast<double>(i)) << i;
  }
  EXPECT_GT(found, 0);
}

}  // namespace
}  // namespace pavaneflow
