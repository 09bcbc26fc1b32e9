#include "chart/problem_list.h"

#include <algorithm>
#include <utility>

namespace pavaneflow {

void ProblemList::Add(std::int32_t line, ProblemKind kind, std::vector<std::u16string> arguments) {
  problems_.push_back({line, kind, std::move(arguments)});
}

std::vector<ReadingProblem> ProblemList::Kept() const {
  std::vector<ReadingProblem> sorted = problems_;
  std::stable_sort(
      sorted.begin(), sorted.end(),
      [](const ReadingProblem& a, const ReadingProblem& b) { return a.line < b.line; });
  if (Count() > kMaxEntries) sorted.resize(static_cast<std::size_t>(kMaxEntries));
  return sorted;
}

}  // namespace pavaneflow
