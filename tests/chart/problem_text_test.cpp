#include "chart/problem_text.h"

#include <gtest/gtest.h>

namespace pavaneflow {
namespace {

TEST(ProblemText, EachKindHasItsJapaneseText) {
  const struct {
    ReadingProblem problem;
    std::u16string_view text;
  } cases[] = {
      {{3, ProblemKind::kUnsupportedTag, {u"CHANGEBPM"}},
       u"3行目:\"CHANGEBPM\" には対応していません。"},
      {{12, ProblemKind::kUnsupportedCharacter, {u"5"}}, u"12行目:'5' には対応していません。"},
      {{7, ProblemKind::kUnreadableTimingEntry, {u"FREEZE", u"2=x"}},
       u"7行目:\"FREEZE\" の \"2=x\" は読めませんでした。"},
  };
  for (const auto& c : cases) EXPECT_EQ(ProblemText(c.problem), c.text);
}

TEST(ProblemText, TheErrorTextJoinsTheEntriesAndCountsThoseLeftOut) {
  const std::vector<ReadingProblem> kept = {{1, ProblemKind::kUnsupportedCharacter, {u"Z"}},
                                            {2, ProblemKind::kUnsupportedTag, {u"FREEZE"}}};
  EXPECT_EQ(ProblemsText({}, 0), u"");
  EXPECT_EQ(ProblemsText(kept, 2),
            u"1行目:'Z' には対応していません。\r\n2行目:\"FREEZE\" には対応していません。");
  EXPECT_EQ(ProblemsText(kept, 5),
            u"1行目:'Z' には対応していません。\r\n2行目:\"FREEZE\" には対応していません。\r\n"
            u"ほか 3 件のエラーは省略しました。");
}

}  // namespace
}  // namespace pavaneflow
