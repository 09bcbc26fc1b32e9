#pragma once

#include <string>
#include <vector>

#include "motion/generation_request.h"
#include "motion/pad/pad_layout.h"
#include "sheet/foot_steps.h"
#include "vmd/motion_document.h"
#include "vmd/vmd_motion.h"

namespace pavaneflow {

// What a dance sheet shows: the panels as columns, time running downwards with its grid lines,
// every landing of a foot, and the freezes held. Times are seconds of the motion (frame / 30).
struct DanceSheet {
  struct GridLine {
    double seconds = 0.0;
    bool heavy = false;  // a measure (or, without a chart, every fifth second), labelled
  };
  struct Step {
    FootStep step;
    int panel = 0;  // column in `layout`
  };
  struct Hold {
    int panel = 0;
    double from = 0.0;
    double to = 0.0;
    bool left = false;  // held by the left foot (else the right)
  };

  std::u16string title;
  PadLayout layout;
  double pixelsPerSecond = 100.0;
  std::vector<GridLine> grid;
  std::vector<Step> steps;
  std::vector<Hold> holds;
};

inline constexpr double kFramesPerSecond = 30.0;

// The sheet of the dance that `request` makes, already synthesised into `motion`: the grid from
// the chart's beats (a heavier line every four), the steps from the motion, the freezes from the
// chart, each given to the foot that the motion puts on its panel.
DanceSheet SheetFromChart(const GenerationRequest& request, const MotionDocument& motion);

// The sheet of a motion read from a file: a line every second, the steps from its foot IK bones.
DanceSheet SheetFromVmd(const VmdMotion& motion, std::u16string title);

// The sheet as a standalone SVG document (UTF-8), drawn with sans-serif text only.
std::string RenderSheetSvg(const DanceSheet& sheet);

}  // namespace pavaneflow
