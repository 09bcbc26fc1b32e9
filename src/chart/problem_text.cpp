#include "chart/problem_text.h"

#include <charconv>

namespace pavaneflow {

namespace {

void AppendNumber(std::u16string& out, std::int64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
}

// The argument at `index`, empty if the record has fewer.
const std::u16string& Argument(const ReadingProblem& problem, std::size_t index) {
  static const std::u16string kNone;
  return index < problem.arguments.size() ? problem.arguments[index] : kNone;
}

}  // namespace

std::u16string ProblemText(const ReadingProblem& problem) {
  std::u16string text;
  AppendNumber(text, problem.line);
  text += u"行目:";
  switch (problem.kind) {
    case ProblemKind::kUnsupportedTag:
      text.append(u"\"").append(Argument(problem, 0)).append(u"\" には対応していません。");
      break;
    case ProblemKind::kUnsupportedCharacter:
      text.append(u"'").append(Argument(problem, 0)).append(u"' には対応していません。");
      break;
    case ProblemKind::kUnreadableTimingEntry:
      text.append(u"\"")
          .append(Argument(problem, 0))
          .append(u"\" の \"")
          .append(Argument(problem, 1))
          .append(u"\" は読めませんでした。");
      break;
    case ProblemKind::kTooFewValues:
      text.append(u"\"").append(Argument(problem, 0)).append(u"\" の値が足りません。");
      break;
    case ProblemKind::kUnsupportedChartType:
      text.append(u"\"").append(Argument(problem, 0)).append(u"\" の譜面には対応していません。");
      break;
    case ProblemKind::kUnclosedHold:
      text += u"ロングノートの始まりに終わりがないので、取り除きました。";
      break;
    case ProblemKind::kNoTempo:
      text += u"使えるテンポがないため、60 BPM として読みました。";
      break;
  }
  return text;
}

std::u16string OmittedProblemsText(std::int64_t count) {
  std::u16string text = u"ほか ";
  AppendNumber(text, count);
  text += u" 件のエラーは省略しました。";
  return text;
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
