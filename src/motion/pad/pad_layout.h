#pragma once

#include <vector>

#include "chart/chart_types.h"
#include "motion/floor_point.h"
#include "motion/generation_request.h"

namespace pavaneflow {

// The arrow panels a dance is drawn on, in the order they are shown from left to right: left,
// down, up, right of each pad.
class PadLayout {
 public:
  struct Panel {
    ArrowCode arrow;    // the chart's code for the panel
    FloorPoint centre;  // where the panel lies on the floor
  };

  // The panels of the request's chart: one pad (SINGLE, and the player's own for COUPLE) or two
  // (DOUBLE).
  static PadLayout ForRequest(const GenerationRequest& request);
  // For a motion of unknown chart: one pad at the centre when every place in `points` lies
  // within it, otherwise the two pads of a DOUBLE chart.
  static PadLayout ForPoints(const std::vector<FloorPoint>& points);

  const std::vector<Panel>& Panels() const { return panels_; }
  // The panel nearest to `point`.
  int Nearest(FloorPoint point) const;
  // The panel of `arrow`; -1 if the layout has none.
  int IndexOf(ArrowCode arrow) const;

 private:
  std::vector<Panel> panels_;
};

}  // namespace pavaneflow
