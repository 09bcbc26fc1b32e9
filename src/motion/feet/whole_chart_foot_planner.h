#pragma once

#include "motion/feet/foot_costs.h"
#include "motion/feet/foot_planner.h"

namespace pavaneflow {

// Plans the footing of a whole Lane before the first step (PlanFeet): the cheapest way through
// the chart under `costs`, instead of the classic rule's one Frame at a time. A Lane the plan
// cannot hold apart (more arrow codes than any chart has) is footed the classic way.
class WholeChartFootPlanner : public FootPlanner {
 public:
  WholeChartFootPlanner() = default;
  explicit WholeChartFootPlanner(const FootCosts& costs) : costs_(costs) {}

  std::unique_ptr<Footing> Start(const GenerationRequest& request, const Lane& lane,
                                 const TimingMap& timing) const override;

 private:
  FootCosts costs_;
};

}  // namespace pavaneflow
