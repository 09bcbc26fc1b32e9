#include "motion/natural/inward_memo.h"

#include <cmath>
#include <cstddef>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

namespace pavaneflow {
namespace {

using Question = InwardMemo::Question;

bool Same(const std::optional<FloorPoint>& found, FloorPoint expected) {
  return found && *found == expected;
}

// A question one bit away in any part asks about other panels or another aim, whose answer may
// differ; +0 and -0 compare equal but are two questions for the same reason.
TEST(InwardMemo, AnswersOnlyTheVeryQuestionRemembered) {
  const Question asked{{1.25f, -2.5f}, {-1.25f, 2.5f}, 3.0};
  const Question zero{{0.0f, 0.0f}, {0.0f, 0.0f}, 0.0};
  struct Case {
    const char* name;
    Question remembered;
    Question other;
  };
  const std::vector<Case> cases = {
      {"arrow x", asked, {{std::nextafter(1.25f, 2.0f), -2.5f}, {-1.25f, 2.5f}, 3.0}},
      {"arrow z", asked, {{1.25f, std::nextafter(-2.5f, 0.0f)}, {-1.25f, 2.5f}, 3.0}},
      {"other x", asked, {{1.25f, -2.5f}, {std::nextafter(-1.25f, 0.0f), 2.5f}, 3.0}},
      {"other z", asked, {{1.25f, -2.5f}, {-1.25f, std::nextafter(2.5f, 3.0f)}, 3.0}},
      {"yaw", asked, {{1.25f, -2.5f}, {-1.25f, 2.5f}, std::nextafter(3.0, 4.0)}},
      {"arrows swapped", asked, {{-1.25f, 2.5f}, {1.25f, -2.5f}, 3.0}},
      {"x and z swapped", asked, {{-2.5f, 1.25f}, {2.5f, -1.25f}, 3.0}},
      {"yaw -0", zero, {{0.0f, 0.0f}, {0.0f, 0.0f}, -0.0}},
      {"arrow x -0", zero, {{-0.0f, 0.0f}, {0.0f, 0.0f}, 0.0}},
      {"other z -0", zero, {{0.0f, 0.0f}, {0.0f, -0.0f}, 0.0}},
  };
  const FloorPoint answer{0.75f, -1.5f};
  for (const Case& c : cases) {
    InwardMemo memo;
    memo.Remember(c.remembered, answer);
    EXPECT_FALSE(memo.Find(c.other).has_value()) << c.name;
    EXPECT_TRUE(Same(memo.Find(c.remembered), answer)) << c.name;
  }
}

// Many questions share few slots: whatever was pushed out, every answer found must be the one
// remembered for that very question, and the latest one is always found.
TEST(InwardMemo, NeverAnswersWithAnotherQuestionsPoint) {
  InwardMemo memo;
  std::vector<Question> asked;
  auto answerOf = [](std::size_t i) { return FloorPoint{static_cast<float>(i), -1.0f}; };
  for (std::size_t i = 0; i < 2000; ++i) {
    asked.push_back({{0.5f * static_cast<float>(i % 5), 1.0f},
                     {-0.5f * static_cast<float>(i % 3), -1.0f},
                     0.01 * static_cast<double>(i)});
    memo.Remember(asked.back(), answerOf(i));
    ASSERT_TRUE(Same(memo.Find(asked.back()), answerOf(i))) << i;
  }
  int found = 0;
  for (std::size_t i = 0; i < asked.size(); ++i) {
    const std::optional<FloorPoint> at = memo.Find(asked[i]);
    if (!at) continue;
    ++found;
    EXPECT_TRUE(Same(at, answerOf(i))) << i;
  }
  EXPECT_GT(found, 0);
}

}  // namespace
}  // namespace pavaneflow
