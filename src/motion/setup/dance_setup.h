#pragma once

#include <cstdint>
#include <optional>

#include "chart/chart_timing.h"
#include "motion/body_proportions.h"
#include "motion/facing.h"
#include "motion/setup/dance_model.h"

namespace pavaneflow {

// Who decides which foot takes each arrow: the classic rule, one Frame at a time, or a plan of the
// whole chart made before the first step.
enum class FeetChoice { kClassic, kPlanned };

// How the body moves: the classic motion, or the natural one (steps with weight, bent knees,
// arms, turned towards a side).
enum class MotionChoice { kClassic, kNatural };

// Everything the user chooses about a dance, the same for every front end: how the song file is
// read, which chart and player are danced and how. A plain value; OpenSong reads a file under its
// reading rules and MakeDanceRequest turns a song and a setup into what the synthesiser needs.
// A new option is one field here, read in one of those two functions.
struct DanceSetup {
  int chart = 0;            // index into the song's Scores, from 0; outside them no chart is danced
  std::int32_t player = 0;  // 0 for 1P, 1 for 2P; 2P counts only for a COUPLE chart
  bool twist = true;        // also turn the upper body and the neck
  ChartTiming timing = ChartTiming::kClassic;  // read when the file is opened, then times the dance
  FeetChoice feet = FeetChoice::kClassic;
  MotionChoice motion = MotionChoice::kClassic;
  Facing facing =
      Facing::kViewer;   // whom the natural motion faces; the classic one faces the screen
  BodyProportions body;  // whom the natural motion is fitted to, and `body` measures
  // The user's character the natural motion is fitted to, when there is one: its file and its
  // skeleton, with its body in `body` (FitTo keeps the two together). The classic motion is made
  // for the reference body whatever these hold.
  std::optional<DanceModel> model;
};

// Fits the setup's natural motion to `model`: its body becomes the setup's.
inline void FitTo(DanceSetup& setup, DanceModel model) {
  setup.body = model.body;
  setup.model = std::move(model);
}

}  // namespace pavaneflow
