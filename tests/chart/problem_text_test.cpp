#include "chart/problem_text.h"

#include <set>
#include <string_view>

#include <gtest/gtest.h>

#include "chart/problem_list.h"

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
      {{4, ProblemKind::kTooFewValues, {u"NOTES"}}, u"4行目:\"NOTES\" の値が足りません。"},
      {{9, ProblemKind::kUnsupportedChartType, {u"pump-single"}},
       u"9行目:\"pump-single\" の譜面には対応していません。"},
      {{20, ProblemKind::kUnclosedHold, {}},
       u"20行目:ロングノートの始まりに終わりがないので、取り除きました。"},
      {{2, ProblemKind::kNoTempo, {}}, u"2行目:使えるテンポがないため、60 BPM として読みました。"},
      {{1, ProblemKind::kTempoNotPositive, {u"BPM", u"abc"}},
       u"1行目:\"BPM\" のテンポ \"abc\" は正の数ではないので使えません。"},
  };
  for (const auto& c : cases) EXPECT_EQ(ProblemText(c.problem), c.text);
}

// Translations may put the placeholders in any order; a missing argument fills as empty.
TEST(ProblemText, PatternsAreFilledWithTheLineAndTheArgumentsInAnyOrder) {
  const ReadingProblem problem{7, ProblemKind::kUnreadableTimingEntry, {u"FREEZE", u"2=x"}};
  EXPECT_EQ(FillProblem(u"line {1}: \"{3}\" of {2} {4}{", problem),
            u"line 7: \"2=x\" of FREEZE {4}{");
  EXPECT_EQ(FillProblem(u"{2}/{3}", {1, ProblemKind::kUnsupportedTag, {u"X"}}), u"X/");
  EXPECT_EQ(OmittedProblemsText(12), u"ほか 12 件のエラーは省略しました。");
  // Every kind has a pattern and a name of its own.
  std::set<std::string_view> names;
  for (const ProblemKind kind : AllProblemKinds()) {
    EXPECT_FALSE(ProblemPattern(kind).empty());
    EXPECT_TRUE(names.insert(ProblemKindName(kind)).second) << ProblemKindName(kind);
  }
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

// Simfile problems are found out of order (a chart's only once every timing tag is known): they
// come out by line, those of one line as found, and only the first kMaxEntries are kept.
TEST(ProblemList, GivesTheProblemsByLineAndKeepsTheFirstOnes) {
  ProblemList list;
  list.Add(5, ProblemKind::kUnclosedHold);
  list.Add(2, ProblemKind::kTooFewValues, {u"NOTES"});
  list.Add(5, ProblemKind::kNoTempo);
  const std::vector<ReadingProblem> kept = list.Kept();
  ASSERT_EQ(kept.size(), 3u);
  EXPECT_EQ(kept[0].line, 2);
  EXPECT_EQ(kept[1].kind, ProblemKind::kUnclosedHold);
  EXPECT_EQ(kept[2].kind, ProblemKind::kNoTempo);

  ProblemList flood;
  for (std::int64_t i = 0; i <= ProblemList::kMaxEntries; ++i) {
    flood.Add(static_cast<std::int32_t>(ProblemList::kMaxEntries - i), ProblemKind::kUnclosedHold);
  }
  EXPECT_EQ(flood.Count(), ProblemList::kMaxEntries + 1);
  ASSERT_EQ(static_cast<std::int64_t>(flood.Kept().size()), ProblemList::kMaxEntries);
  EXPECT_EQ(flood.Kept().front().line, 0);
}

}  // namespace
}  // namespace pavaneflow
