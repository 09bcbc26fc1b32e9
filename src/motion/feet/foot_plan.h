#pragma once

#include <optional>
#include <vector>

#include "chart/chart_types.h"
#include "chart/lane.h"
#include "motion/feet/foot_costs.h"
#include "motion/generation_request.h"
#include "motion/timing/timing_map.h"

namespace pavaneflow {

// Where the feet stand after one Frame that has Notes, and what they did there.
struct PlannedFeet {
  ArrowCode leftArrow = 0;
  ArrowCode rightArrow = 0;
  bool leftHeld = false;
  bool rightHeld = false;
  bool leftMoved = false;  // took a Note at this Frame
  bool rightMoved = false;

  friend bool operator==(const PlannedFeet&, const PlannedFeet&) = default;
};

// The cheapest footing of a whole Lane under `costs`: one entry per Frame with Notes, in tick
// order, starting from the pose StartPose gives. Time between Frames is chart time from
// `timing`. A foot takes at most one tap or freeze start per Frame, a holding foot keeps its
// arrow until the freeze end on it, and the feet never share an arrow; a Note is dropped only
// where no free foot can take it. A foot that has just stepped the arrow the other foot now
// takes steps aside, to a panel the plan picks, without taking a Note (a footswitch). Linear in
// the Lane's length; ties go the same way every run. No plan when the Lane uses more arrow codes
// than the planner keeps apart (no chart the reader makes does).
std::optional<std::vector<PlannedFeet>> PlanFeet(const GenerationRequest& request, const Lane& lane,
                                                 const TimingMap& timing, const FootCosts& costs);

}  // namespace pavaneflow
