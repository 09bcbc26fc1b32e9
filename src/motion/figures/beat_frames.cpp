#include "motion/figures/beat_frames.h"

#include <algorithm>
#include <limits>

#include "chart/song_document.h"
#include "motion/classic/request_objects.h"
#include "motion/player_lane.h"
#include "motion/timing/frame_number.h"
#include "motion/timing/timing_map.h"

namespace pavaneflow {

std::vector<std::int32_t> BeatFrames(const GenerationRequest& request) {
  const Lane* lane = FindPlayerLane(request);
  if (lane == nullptr || request.song == nullptr || lane->frames.empty()) return {};
  const RequestObjects objects(request);
  const TimingMap& timing = objects.Timing();
  Tick last = 0;
  for (const Frame& frame : lane->frames) last = std::max(last, frame.tick);
  std::vector<std::int32_t> beats;
  for (Tick tick = 0;; tick += kTicksPerBeat) {
    const std::int32_t frame = SecondsToFrameNumber(timing.BeatSeconds(tick), request.song->gap);
    // A stop holds the time still: a beat on the same frame, or one that the times put back,
    // is the same moment of the dance.
    if (frame >= 0 && (beats.empty() || frame > beats.back())) beats.push_back(frame);
    if (tick > last || tick > std::numeric_limits<Tick>::max() - kTicksPerBeat) break;
  }
  return beats;
}

}  // namespace pavaneflow
