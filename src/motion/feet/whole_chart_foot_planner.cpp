#include "motion/feet/whole_chart_foot_planner.h"

#include <utility>
#include <vector>

#include "motion/feet/classic_foot_planner.h"
#include "motion/feet/foot_plan.h"
#include "motion/pad/pad_geometry.h"

namespace pavaneflow {
namespace {

// Hands out the plan, one entry per Frame with Notes.
class PlannedFooting : public Footing {
 public:
  PlannedFooting(const GenerationRequest& request, std::vector<PlannedFeet> plan)
      : request_(request), plan_(std::move(plan)) {}

  void Step(const StepPose& previous, const Frame& frame, StepPose& current) override {
    current.left = previous.left;
    current.right = previous.right;
    current.left.moved = false;
    current.right.moved = false;
    current.leftNext = previous.leftNext;
    if (!frame.notes.empty() && next_ < plan_.size()) {
      const PlannedFeet& feet = plan_[next_++];
      current.left.arrow = feet.leftArrow;
      current.left.held = feet.leftHeld;
      current.left.moved = feet.leftMoved;
      current.right.arrow = feet.rightArrow;
      current.right.held = feet.rightHeld;
      current.right.moved = feet.rightMoved;
      // Kept as the classic rule keeps it, for anyone reading the pose.
      if (feet.leftMoved != feet.rightMoved) current.leftNext = feet.rightMoved;
    }
    PlaceFeet(request_, current);
  }

 private:
  const GenerationRequest& request_;
  std::vector<PlannedFeet> plan_;
  std::size_t next_ = 0;
};

}  // namespace

std::unique_ptr<Footing> WholeChartFootPlanner::Start(const GenerationRequest& request,
                                                      const Lane& lane,
                                                      const TimingMap& timing) const {
  auto plan = PlanFeet(request, lane, timing, costs_);
  if (!plan) return ClassicFootPlanner().Start(request, lane, timing);
  return std::make_unique<PlannedFooting>(request, std::move(*plan));
}

}  // namespace pavaneflow
