#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "chart/reading_problem.h"

namespace pavaneflow {

// The entry of `problem` as the error dialog and the command line show it: "<line>行目:" and
// the Japanese message, such as "3行目:'5' には対応していません。".
std::u16string ProblemText(const ReadingProblem& problem);

// The Japanese text of `kind` with placeholders: "{1}" for the line, "{2}", "{3}" for the
// record's arguments in order. The command line's catalogue translates these patterns (its
// msgctxt is "reading problem " and ProblemKindName).
std::u16string_view ProblemPattern(ProblemKind kind);
// The pattern of the entry that stands for problems left out, "{1}" for their count.
std::u16string_view OmittedProblemsPattern();

// A stable name of `kind` for other languages' catalogues: "unsupported-tag", ...
std::string_view ProblemKindName(ProblemKind kind);
// Every kind, in the order of the enumeration.
const std::vector<ProblemKind>& AllProblemKinds();

// `pattern` (ProblemPattern's or a translation of it) filled with `problem`'s line and arguments.
std::u16string FillProblem(std::u16string_view pattern, const ReadingProblem& problem);

// The entry that stands for `count` problems left out of a long list:
// "ほか N 件のエラーは省略しました。", without a line.
std::u16string OmittedProblemsText(std::int64_t count);

// The whole error text of a read that found `total` problems of which `problems` were kept: the
// entries joined by "\r\n", with the omitted-problems entry last when some were left out. Empty
// when there were none.
std::u16string ProblemsText(const std::vector<ReadingProblem>& problems, std::int64_t total);

}  // namespace pavaneflow
