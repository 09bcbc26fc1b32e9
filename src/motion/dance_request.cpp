#include "motion/dance_request.h"

#include <cstddef>
#include <utility>

#include "chart/score.h"
#include "motion/make_timing_map.h"
#include "motion/whole_chart_foot_planner.h"

namespace pavaneflow {

DanceRequest::DanceRequest(std::unique_ptr<TimingMap> timing, std::unique_ptr<FootPlanner> feet,
                           const GenerationRequest& request)
    : timing_(std::move(timing)), feet_(std::move(feet)), request_(request) {
  request_.timing = timing_.get();
  request_.feet = feet_.get();
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
  // Null for the classic choices: the synthesiser then keeps the song's one tempo and the classic
  // rule.
  std::unique_ptr<FootPlanner> feet;
  if (setup.feet == FeetChoice::kPlanned) feet = std::make_unique<WholeChartFootPlanner>();
  return DanceRequest(MakeTimingMap(setup.timing, song), std::move(feet), request);
}

}  // namespace pavaneflow
