#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "chart/reading_problem.h"

namespace pavaneflow {

// The problems of one read, collected in any order and given out in file order: the simfile
// reader finds some problems of a chart only once the whole file is known. Past kMaxEntries only
// the first ones are kept, as the DWI reader does; the count includes those left out.
class ProblemList {
 public:
  static constexpr std::int64_t kMaxEntries = 10000;

  void Add(std::int32_t line, ProblemKind kind, std::vector<std::u16string> arguments = {});

  // The first kMaxEntries problems by line, those of one line in the order they were added.
  std::vector<ReadingProblem> Kept() const;
  std::int64_t Count() const { return static_cast<std::int64_t>(problems_.size()); }

 private:
  std::vector<ReadingProblem> problems_;
};

}  // namespace pavaneflow
