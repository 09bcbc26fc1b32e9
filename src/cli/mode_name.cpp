#include "cli/mode_name.h"

namespace pavaneflow::cli {

const char* ModeName(ChartMode mode) {
  switch (mode) {
    case kDouble:
      return "DOUBLE";
    case kCouple:
      return "COUPLE";
    default:
      return "SINGLE";
  }
}

}  // namespace pavaneflow::cli
