#include "motion/figures/footwork_figures.h"

#include <algorithm>
#include <cmath>

#include "chart/score.h"
#include "chart/song_document.h"
#include "motion/classic/request_objects.h"
#include "motion/feet/foot_planner.h"
#include "motion/feet/footwork_terms.h"
#include "motion/pad/pad_geometry.h"
#include "motion/pad/step_pose.h"
#include "motion/player_lane.h"
#include "motion/timing/timing_map.h"

namespace pavaneflow {
namespace {

// The step row before the one being counted, and the one before that.
struct History {
  StepPose last;
  StepPose twoBack;
  bool exists = false;
  bool oneNote = false;
  bool leftAlone = false;
  bool rightAlone = false;
  double seconds = 0.0;
};

class Counter {
 public:
  Counter(const GenerationRequest& request, const StepPose& start)
      : mode_(request.score != nullptr ? request.score->mode : kSingle) {
    history_.last = start;
    history_.twoBack = start;
  }

  void Count(const StepPose& before, const Frame& frame, const StepPose& after, double seconds) {
    int steps = 0;
    for (const Note& note : frame.notes) {
      if (note.kind == kFreezeEnd) continue;
      ++steps;
      const bool taken = (after.left.moved && after.left.arrow == note.arrow) ||
                         (after.right.moved && after.right.arrow == note.arrow);
      if (!taken) ++figures_.droppedNotes;
    }
    if (steps == 0) return;
    ++figures_.stepRows;

    const int left = X(after.left.arrow);
    const int right = X(after.right.arrow);
    if (left > right) {
      ++figures_.crossedRows;
      figures_.longestCrossedRun = std::max(figures_.longestCrossedRun, ++crossedRun_);
    } else {
      crossedRun_ = 0;
    }

    const bool leftMoved = after.left.moved;
    const bool rightMoved = after.right.moved;
    if (history_.exists) {
      const double gap = seconds - history_.seconds;
      const StepPose& last = history_.last;
      const StepPose& twoBack = history_.twoBack;
      if (rightMoved && history_.leftAlone && after.right.arrow != last.right.arrow &&
          right < left) {
        const bool full = twoBack.right.arrow != after.right.arrow && X(twoBack.right.arrow) > left;
        ++(full ? figures_.fullCrossovers : figures_.halfCrossovers);
      }
      if (leftMoved && history_.rightAlone && after.left.arrow != last.left.arrow && left > right) {
        const bool full = twoBack.left.arrow != after.left.arrow && X(twoBack.left.arrow) < right;
        ++(full ? figures_.fullCrossovers : figures_.halfCrossovers);
      }

      if (steps == 1 && history_.oneNote) {
        const bool leftAgain = leftMoved && !rightMoved && history_.leftAlone;
        const bool rightAgain = rightMoved && !leftMoved && history_.rightAlone;
        if (leftAgain || rightAgain) {
          const bool samePanel = leftAgain ? after.left.arrow == last.left.arrow
                                           : after.right.arrow == last.right.arrow;
          if (!samePanel) {
            const bool forced = leftAgain ? before.right.held : before.left.held;
            const bool short_ = gap < kShortDoubleStepSeconds;
            ++(forced ? figures_.forcedDoubleSteps : figures_.unforcedDoubleSteps);
            if (short_)
              ++(forced ? figures_.shortForcedDoubleSteps : figures_.shortUnforcedDoubleSteps);
          } else if (gap < kFastJackSeconds) {
            ++figures_.fastJacks;
          }
        }
      }

      if (gap < kFootswitchSeconds) {
        if (leftMoved && last.right.moved && last.right.arrow == after.left.arrow) {
          ++figures_.footswitches;
        }
        if (rightMoved && last.left.moved && last.left.arrow == after.right.arrow) {
          ++figures_.footswitches;
        }
      }
    }

    history_.twoBack = history_.last;
    history_.last = after;
    history_.exists = true;
    history_.oneNote = steps == 1;
    history_.leftAlone = leftMoved && !rightMoved;
    history_.rightAlone = rightMoved && !leftMoved;
    history_.seconds = seconds;
  }

  const FootworkFigures& Figures() const { return figures_; }

 private:
  int X(ArrowCode code) const { return PanelX(mode_, code); }

  ChartMode mode_;
  FootworkFigures figures_;
  History history_;
  std::int64_t crossedRun_ = 0;
};

}  // namespace

FootworkFigures& FootworkFigures::operator+=(const FootworkFigures& other) {
  stepRows += other.stepRows;
  crossedRows += other.crossedRows;
  longestCrossedRun = std::max(longestCrossedRun, other.longestCrossedRun);
  fullCrossovers += other.fullCrossovers;
  halfCrossovers += other.halfCrossovers;
  forcedDoubleSteps += other.forcedDoubleSteps;
  unforcedDoubleSteps += other.unforcedDoubleSteps;
  shortForcedDoubleSteps += other.shortForcedDoubleSteps;
  shortUnforcedDoubleSteps += other.shortUnforcedDoubleSteps;
  fastJacks += other.fastJacks;
  footswitches += other.footswitches;
  droppedNotes += other.droppedNotes;
  return *this;
}

FootworkFigures MeasureFootwork(const GenerationRequest& request) {
  const Lane* lane = FindPlayerLane(request);
  if (lane == nullptr || request.song == nullptr) return {};
  const RequestObjects objects(request);
  const TimingMap& timing = objects.Timing();
  const std::unique_ptr<Footing> footing = objects.Feet().Start(request, *lane, timing);

  StepPose previous;
  StartPose(request, previous);
  Counter counter(request, previous);
  for (const Frame& frame : lane->frames) {
    StepPose current;
    footing->Step(previous, frame, current);
    if (!frame.notes.empty())
      counter.Count(previous, frame, current, timing.BeatSeconds(frame.tick));
    previous = current;
  }
  return counter.Figures();
}

}  // namespace pavaneflow
