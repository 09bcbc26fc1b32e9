#include "chart/problem_text.h"

#include <charconv>
#include <iterator>

#include "chart/placeholders.h"

namespace pavaneflow {

namespace {

std::u16string Number(std::int64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  return std::u16string(digits, end);
}

struct KindText {
  ProblemKind kind;
  std::string_view name;
  std::u16string_view pattern;
};

// In the order of the enumeration.
constexpr KindText kKinds[] = {
    {ProblemKind::kUnsupportedTag, "unsupported-tag", u"{1}行目:\"{2}\" には対応していません。"},
    {ProblemKind::kUnsupportedCharacter, "unsupported-character",
     u"{1}行目:'{2}' には対応していません。"},
    {ProblemKind::kUnreadableTimingEntry, "unreadable-timing-entry",
     u"{1}行目:\"{2}\" の \"{3}\" は読めませんでした。"},
    {ProblemKind::kTooFewValues, "too-few-values", u"{1}行目:\"{2}\" の値が足りません。"},
    {ProblemKind::kUnsupportedChartType, "unsupported-chart-type",
     u"{1}行目:\"{2}\" の譜面には対応していません。"},
    {ProblemKind::kUnclosedHold, "unclosed-hold",
     u"{1}行目:ロングノートの始まりに終わりがないので、取り除きました。"},
    {ProblemKind::kNoTempo, "no-tempo",
     u"{1}行目:使えるテンポがないため、60 BPM として読みました。"},
    {ProblemKind::kTempoNotPositive, "tempo-not-positive",
     u"{1}行目:\"{2}\" のテンポ \"{3}\" は正の数ではないので使えません。"},
};

static_assert(
    [] {
      for (std::size_t i = 0; i < std::size(kKinds); ++i) {
        if (kKinds[i].kind != static_cast<ProblemKind>(i)) return false;
      }
      return true;
    }(),
    "kKinds is indexed by the kind");

const KindText& Of(ProblemKind kind) {
  return kKinds[static_cast<std::size_t>(kind)];
}

}  // namespace

std::u16string_view ProblemPattern(ProblemKind kind) {
  return Of(kind).pattern;
}

std::u16string_view OmittedProblemsPattern() {
  return u"ほか {1} 件のエラーは省略しました。";
}

std::string_view ProblemKindName(ProblemKind kind) {
  return Of(kind).name;
}

const std::vector<ProblemKind>& AllProblemKinds() {
  static const std::vector<ProblemKind> kinds = [] {
    std::vector<ProblemKind> all;
    for (const KindText& kind : kKinds) all.push_back(kind.kind);
    return all;
  }();
  return kinds;
}

std::u16string FillProblem(std::u16string_view pattern, const ReadingProblem& problem) {
  const std::u16string line = Number(problem.line);
  // Records have at most two arguments; one missing fills as empty.
  static const std::u16string kNone;
  const auto argument = [&problem](std::size_t index) -> std::u16string_view {
    return index < problem.arguments.size() ? problem.arguments[index] : kNone;
  };
  return FillPlaceholders<char16_t>(pattern, {line, argument(0), argument(1)});
}

std::u16string ProblemText(const ReadingProblem& problem) {
  return FillProblem(ProblemPattern(problem.kind), problem);
}

std::u16string OmittedProblemsText(std::int64_t count) {
  const std::u16string number = Number(count);
  return FillPlaceholders<char16_t>(OmittedProblemsPattern(), {number});
}

std::u16string ProblemsText(const std::vector<ReadingProblem>& problems, std::int64_t total) {
  std::u16string text;
  for (const ReadingProblem& problem : problems) {
    if (!text.empty()) text += u"\r\n";
    text += ProblemText(problem);
  }
  const auto kept = static_cast<std::int64_t>(problems.size());
  if (total > kept) {
    if (!text.empty()) text += u"\r\n";
    text += OmittedProblemsText(total - kept);
  }
  return text;
}

}  // namespace pavaneflow
