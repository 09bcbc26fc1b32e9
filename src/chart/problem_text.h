#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "chart/reading_problem.h"

namespace pavaneflow {

// The entry of `problem` as the error dialog and the command line show it: "<line>行目:" and
// the Japanese message, such as "3行目:'5' には対応していません。".
std::u16string ProblemText(const ReadingProblem& problem);

// The entry that stands for `count` problems left out of a long list:
// "ほか N 件のエラーは省略しました。", without a line.
std::u16string OmittedProblemsText(std::int64_t count);

// The whole error text of a read that found `total` problems of which `problems` were kept: the
// entries joined by "\r\n", with the omitted-problems entry last when some were left out. Empty
// when there were none.
std::u16string ProblemsText(const std::vector<ReadingProblem>& problems, std::int64_t total);

}  // namespace pavaneflow
