#include "motion/feet/footwork_terms.h"

namespace pavaneflow {

int PanelX(ChartMode mode, ArrowCode code) {
  constexpr ArrowCode kSecondPadFirstCode = u'\u0040';
  constexpr ArrowCode kSecondPadShift = 16;
  constexpr int kSecondPadX = 3;
  int x = 0;
  if (mode == kDouble && code >= kSecondPadFirstCode) {
    code = static_cast<ArrowCode>(code - kSecondPadShift);
    x = kSecondPadX;
  }
  switch (code) {
    case u'0':
      return x;
    case u'3':
      return x + 2;
    default:
      return x + 1;
  }
}

}  // namespace pavaneflow
