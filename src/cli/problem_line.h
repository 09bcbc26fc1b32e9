#pragma once

#include <cstdint>
#include <string>

#include "chart/reading_problem.h"

namespace pavaneflow::cli {

// The text of `problem` in the user's language, for a terminal: "line 3: '5' is not supported."
// in English, the reader's own Japanese under a Japanese locale.
std::string ProblemLine(const ReadingProblem& problem);

// The entry that stands for `count` problems the reader left out of a long list.
std::string OmittedProblemsLine(std::int64_t count);

}  // namespace pavaneflow::cli
