#include "motion/classic/run.h"

#include "chart/score.h"
#include "chart/song_document.h"
#include "motion/bone_names.h"
#include "motion/classic/emit_in_between.h"
#include "motion/classic/emit_pose.h"
#include "motion/classic/request_objects.h"
#include "motion/pad/pad_geometry.h"
#include "motion/pad/step_pose.h"
#include "motion/player_lane.h"
#include "motion/timing/frame_number.h"
#include "motion/timing/timing_map.h"
#include "vmd/vmd_file_writer.h"

namespace pavaneflow {

void Synthesize(const GenerationRequest& request, MotionDocument& document,
                const SettledFrames& settled) {
  document.DeleteContents();
  document.modelName = kModelName;
  const Lane* lane = FindPlayerLane(request);
  if (lane == nullptr || request.song == nullptr) return;

  const RequestObjects objects(request);
  const TimingMap& timing = objects.Timing();
  if (request.motion != nullptr) {
    request.motion->Synthesize(request, *lane, timing, objects.Feet(), document, settled);
    return;
  }
  const std::unique_ptr<Footing> footing = objects.Feet().Start(request, *lane, timing);
  const double start = timing.StartSeconds(request.song->gap);
  StepPose previous(0, true);
  StartPose(request, previous);
  EmitPose(document, previous, request);
  for (const Frame& frame : lane->frames) {
    StepPose current(TimeToFrameNumber(timing.BeatSeconds(frame.tick), start),
                     frame.tick % kTicksPerBeat == 0);
    footing->Step(previous, frame, current);
    EmitInBetween(document, current, previous);
    // Later steps change nothing made before this pose: only a pose's centre frame is changed
    // again, by the step after it.
    if (settled) settled(document.FrameCount());
    EmitPose(document, current, request);
    previous = current;
  }
}

void Run(const GenerationRequest& request, const std::filesystem::path& path,
         const VmdWriteOptions& options) {
  MotionDocument document;
  Run(request, document, path, options);
}

void Run(const GenerationRequest& request, MotionDocument& document,
         const std::filesystem::path& path, const VmdWriteOptions& options) {
  VmdFileWriter writer(document, path,
                       request.motion != nullptr ? request.motion->WriteOptions(options) : options);
  Synthesize(request, document, [&writer](std::size_t count) { writer.Settled(count); });
  writer.Commit();
}

}  // namespace pavaneflow
