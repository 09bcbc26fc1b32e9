#pragma once

#include <cstdint>

#include "motion/generation_request.h"

namespace pavaneflow {

// How a dance steps through one Lane, counted over its step rows (Frames with at least one tap
// or freeze start), on chart time. Panels are placed left to right by PanelX. Rows are "in a
// row" when no other step row lies between them.
struct FootworkFigures {
  std::int64_t stepRows = 0;
  // Rows after which the left foot stands right of the right foot.
  std::int64_t crossedRows = 0;
  // The most crossed rows in a row.
  std::int64_t longestCrossedRun = 0;
  // A foot steps onto another panel and ends across the other foot, right after a row that the
  // other foot stepped alone. Full when two rows back it stood on another panel on its own side
  // of the other foot, half otherwise; a crossed trill counts once.
  std::int64_t fullCrossovers = 0;
  std::int64_t halfCrossovers = 0;
  // One foot on two one-note rows in a row, on different panels; forced when the other foot
  // held a freeze. Short ones came quicker than kShortDoubleStepSeconds.
  std::int64_t forcedDoubleSteps = 0;
  std::int64_t unforcedDoubleSteps = 0;
  std::int64_t shortForcedDoubleSteps = 0;
  std::int64_t shortUnforcedDoubleSteps = 0;
  // The same on one panel quicker than kFastJackSeconds.
  std::int64_t fastJacks = 0;
  // One panel stepped in two rows in a row by different feet, quicker than kFootswitchSeconds.
  std::int64_t footswitches = 0;
  // Taps and freeze starts no foot took.
  std::int64_t droppedNotes = 0;

  std::int64_t Crossovers() const { return fullCrossovers + halfCrossovers; }
  // Adds the counts of another Lane; the longest run is the longer of the two.
  FootworkFigures& operator+=(const FootworkFigures& other);
};

// Steps the request's Lane with the request's foot planner (classic when none) and timing, as
// the synthesis would, and counts. All zero when there is no such Lane.
FootworkFigures MeasureFootwork(const GenerationRequest& request);

}  // namespace pavaneflow
