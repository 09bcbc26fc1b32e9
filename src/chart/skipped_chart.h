#pragma once

#include <string>

namespace pavaneflow {

// Charts of a kind the reader does not read (a "#SOLO" chart, for six panels): skipped as any
// unknown tag is, and counted so that the user learns the file held more than was read.
struct SkippedChart {
  std::u16string tag;  // upper case, without "#"
  int count = 0;
};

}  // namespace pavaneflow
