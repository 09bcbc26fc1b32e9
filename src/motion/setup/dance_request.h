#pragma once

#include <memory>

#include "chart/song_document.h"
#include "motion/feet/foot_planner.h"
#include "motion/generation_request.h"
#include "motion/motion_style.h"
#include "motion/setup/dance_setup.h"
#include "motion/timing/timing_map.h"

namespace pavaneflow {

// A GenerationRequest together with the timing map, the foot planner and the motion style it
// points to, so that
// they live exactly as long as the generation that uses them. Moving keeps the request valid; the
// song it was made from must outlive it, and its tempo changes and stops are copied, so the song
// may be read again meanwhile only if the request is not used afterwards.
class DanceRequest {
 public:
  DanceRequest(std::unique_ptr<TimingMap> timing, std::unique_ptr<FootPlanner> feet,
               std::unique_ptr<MotionStyle> motion, const GenerationRequest& request);

  const GenerationRequest& Request() const { return request_; }

 private:
  std::unique_ptr<TimingMap> timing_;
  std::unique_ptr<FootPlanner> feet_;
  std::unique_ptr<MotionStyle> motion_;
  GenerationRequest request_;
};

// What the synthesiser needs to dance `setup` on `song`: its chart (no Score when the index is
// outside the song's charts), the player (2P only for a COUPLE chart), the twist, the timing map
// of the setup's timing (a simfile chart's own timing where it has one), its foot planner and its
// motion style. The one place an option chooses its object.
DanceRequest MakeDanceRequest(const SongDocument& song, const DanceSetup& setup);

}  // namespace pavaneflow
