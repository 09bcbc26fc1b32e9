#include "motion/feet/classic_foot_planner.h"

#include "motion/feet/assign_feet.h"

namespace pavaneflow {
namespace {

class ClassicFooting : public Footing {
 public:
  explicit ClassicFooting(const GenerationRequest& request) : request_(request) {}
  void Step(const StepPose& previous, const Frame& frame, StepPose& current) override {
    AssignFeet(previous, frame, current, request_);
  }

 private:
  const GenerationRequest& request_;
};

}  // namespace

std::unique_ptr<Footing> ClassicFootPlanner::Start(const GenerationRequest& request,
                                                   const Lane& /*lane*/,
                                                   const TimingMap& /*timing*/) const {
  return std::make_unique<ClassicFooting>(request);
}

}  // namespace pavaneflow
