#include "sheet/dance_sheet.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "chart/lane.h"
#include "chart/score.h"
#include "chart/song_document.h"
#include "motion/bone_names.h"
#include "motion/classic/request_objects.h"
#include "motion/timing/timing_map.h"

namespace pavaneflow {
namespace {

constexpr int kBeatsPerMeasure = 4;
constexpr double kPixelsPerBeat = 48.0;
constexpr double kLeastPixelsPerSecond = 40.0;
constexpr double kMostPixelsPerSecond = 240.0;
constexpr double kVmdPixelsPerSecond = 100.0;
constexpr int kSecondsPerHeavyLine = 5;
// The grid runs a measure past the last step.
constexpr double kTrailingSeconds = 2.0;

std::vector<DanceSheet::Step> PlaceSteps(const std::vector<FootStep>& steps,
                                         const PadLayout& layout) {
  std::vector<DanceSheet::Step> placed;
  placed.reserve(steps.size());
  for (const FootStep& step : steps) placed.push_back({step, layout.Nearest(step.arrow)});
  return placed;
}

double LastStepSeconds(const std::vector<DanceSheet::Step>& steps) {
  return steps.empty() ? 0.0
                       : static_cast<double>(steps.back().step.frameNumber) / kFramesPerSecond;
}

const Lane* PlayerLane(const GenerationRequest& request) {
  if (request.score == nullptr) return nullptr;
  for (const auto& lane : request.score->lanes) {
    if (lane->key == request.player) return lane.get();
  }
  return nullptr;
}

// The foot whose last landing at or before `frame` was on `panel`; the left one when neither.
bool HeldByLeft(const std::vector<DanceSheet::Step>& steps, std::int32_t frame, int panel) {
  bool left = true;
  for (const DanceSheet::Step& step : steps) {
    if (step.step.frameNumber > frame) break;
    if (step.panel == panel) left = step.step.foot == Foot::kLeft;
  }
  return left;
}

}  // namespace

DanceSheet SheetFromChart(const GenerationRequest& request, const MotionDocument& motion) {
  DanceSheet sheet;
  sheet.layout = PadLayout::ForRequest(request);
  sheet.steps = PlaceSteps(FindFootSteps(BoneTrack::FromDocument(motion, kLeftFootIkBone),
                                         BoneTrack::FromDocument(motion, kRightFootIkBone),
                                         BoneTrack::FromDocument(motion, kCentreBone)),
                           sheet.layout);
  if (request.song == nullptr || request.score == nullptr) return sheet;
  sheet.title = request.song->title + u" " + request.score->GetName();

  const RequestObjects objects(request);
  const TimingMap& timing = objects.Timing();
  const double gap = timing.StartSeconds(request.song->gap);
  const auto seconds = [&](Tick tick) { return timing.BeatSeconds(tick) + gap; };
  const double bpm = static_cast<double>(request.song->bpm);
  if (std::isfinite(bpm) && bpm > 0.0) {
    sheet.pixelsPerSecond =
        std::clamp(kPixelsPerBeat * bpm / 60.0, kLeastPixelsPerSecond, kMostPixelsPerSecond);
  }

  const Lane* lane = PlayerLane(request);
  Tick lastTick = 0;
  std::map<ArrowCode, Tick> heldSince;
  if (lane != nullptr) {
    for (const Frame& frame : lane->frames) {
      lastTick = std::max(lastTick, frame.tick);
      for (const Note& note : frame.notes) {
        if (note.kind == kFreezeStart) {
          heldSince[note.arrow] = frame.tick;
        } else if (note.kind == kFreezeEnd) {
          const auto start = heldSince.find(note.arrow);
          const int panel = sheet.layout.IndexOf(note.arrow);
          if (start == heldSince.end() || panel < 0) continue;
          const double from = seconds(start->second);
          const double to = seconds(frame.tick);
          const auto startFrame = static_cast<std::int32_t>(from * kFramesPerSecond);
          if (std::isfinite(from) && std::isfinite(to)) {
            sheet.holds.push_back({panel, from, to, HeldByLeft(sheet.steps, startFrame, panel)});
          }
          heldSince.erase(start);
        }
      }
    }
  }
  const double end = std::max(seconds(lastTick), LastStepSeconds(sheet.steps)) + kTrailingSeconds;
  // Bounded by the chart as well as by time: a huge BPM packs millions of beats into a second.
  const std::int64_t lastBeat = lastTick / kTicksPerBeat + kBeatsPerMeasure;
  for (std::int64_t beat = 0; beat <= lastBeat; ++beat) {
    const double at = seconds(static_cast<Tick>(beat * kTicksPerBeat));
    if (!std::isfinite(at) || at > end) break;
    sheet.grid.push_back({at, beat % kBeatsPerMeasure == 0});
  }
  return sheet;
}

DanceSheet SheetFromVmd(const VmdMotion& motion, std::u16string title) {
  DanceSheet sheet;
  sheet.title = std::move(title);
  sheet.pixelsPerSecond = kVmdPixelsPerSecond;
  const std::vector<FootStep> steps = FindFootSteps(BoneTrack::FromVmd(motion, kLeftFootIkBone),
                                                    BoneTrack::FromVmd(motion, kRightFootIkBone),
                                                    BoneTrack::FromVmd(motion, kCentreBone));
  std::vector<FloorPoint> places;
  for (const FootStep& step : steps) places.push_back(step.arrow);
  sheet.layout = PadLayout::ForPoints(places);
  sheet.steps = PlaceSteps(steps, sheet.layout);
  const double end = LastStepSeconds(sheet.steps) + kTrailingSeconds;
  for (int second = 0; second <= end; ++second) {
    sheet.grid.push_back({static_cast<double>(second), second % kSecondsPerHeavyLine == 0});
  }
  return sheet;
}

}  // namespace pavaneflow
