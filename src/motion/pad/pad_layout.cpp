#include "motion/pad/pad_layout.h"

#include <cmath>

#include "chart/score.h"
#include "motion/pad/pad_geometry.h"

namespace pavaneflow {
namespace {

constexpr ArrowCode kFirstPad[] = {u'0', u'1', u'2', u'3'};
constexpr ArrowCode kSecondPad[] = {u'@', u'A', u'B', u'C'};
// A single pad's panels lie 4 from its centre; a foot further out is on a second pad.
constexpr float kSinglePadReach = 5.0f;

}  // namespace

PadLayout PadLayout::ForRequest(const GenerationRequest& request) {
  PadLayout layout;
  for (ArrowCode arrow : kFirstPad)
    layout.panels_.push_back({arrow, ArrowPosition(request, arrow)});
  if (request.score != nullptr && request.score->mode == kDouble) {
    for (ArrowCode arrow : kSecondPad) {
      layout.panels_.push_back({arrow, ArrowPosition(request, arrow)});
    }
  }
  return layout;
}

PadLayout PadLayout::ForPoints(const std::vector<FloorPoint>& points) {
  Score score;
  score.mode = kSingle;
  for (const FloorPoint& point : points) {
    if (std::fabs(point.x) > kSinglePadReach) score.mode = kDouble;
  }
  GenerationRequest request;
  request.score = &score;
  return ForRequest(request);
}

int PadLayout::Nearest(FloorPoint point) const {
  int best = -1;
  double bestDistance = 0.0;
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    const double dx = static_cast<double>(point.x) - static_cast<double>(panels_[i].centre.x);
    const double dz = static_cast<double>(point.z) - static_cast<double>(panels_[i].centre.z);
    const double distance = dx * dx + dz * dz;
    if (best < 0 || distance < bestDistance) {
      best = static_cast<int>(i);
      bestDistance = distance;
    }
  }
  return best;
}

int PadLayout::IndexOf(ArrowCode arrow) const {
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    if (panels_[i].arrow == arrow) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace pavaneflow
