#include "motion/setup/dance_request.h"

#include <cstddef>
#include <utility>

#include "chart/score.h"
#include "motion/feet/whole_chart_foot_planner.h"
#include "motion/natural/natural_motion.h"
#include "motion/timing/make_timing_map.h"

namespace pavaneflow {

DanceRequest::DanceRequest(std::unique_ptr<TimingMap> timing, std::unique_ptr<FootPlanner> feet,
                           std::unique_ptr<MotionStyle> motion, const GenerationRequest& request)
    : timing_(std::move(timing)),
      feet_(std::move(feet)),
      motion_(std::move(motion)),
      request_(request) {
  request_.timing = timing_.get();
  request_.feet = feet_.get();
  request_.motion = motion_.get();
}

DanceRequest MakeDanceRequest(const SongDocument& song, const DanceSetup& setup) {
  GenerationRequest request;
  request.song = &song;
  if (setup.chart >= 0 && static_cast<std::size_t>(setup.chart) < song.scores.size()) {
    request.score = song.scores[static_cast<std::size_t>(setup.chart)].get();
  }
  request.player =
      request.score != nullptr && request.score->mode == kCouple && setup.player == 1 ? 1 : 0;
  request.twist = setup.twist;
  // Null for the classic choices: the synthesiser then keeps the song's one tempo, the classic
  // rule and the classic motion.
  std::unique_ptr<FootPlanner> feet;
  if (setup.feet == FeetChoice::kPlanned) feet = std::make_unique<WholeChartFootPlanner>();
  std::unique_ptr<MotionStyle> motion;
  if (setup.motion == MotionChoice::kNatural)
    motion = std::make_unique<NaturalMotion>(setup.facing, setup.body);
  return DanceRequest(MakeTimingMap(setup.timing, song, request.score), std::move(feet),
                      std::move(motion), request);
}

}  // namespace pavaneflow
