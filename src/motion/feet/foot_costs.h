#pragma once

namespace pavaneflow {

// The weights of the whole-chart foot planner: what each way of stepping costs the dancer. The
// plan is the cheapest path through a Lane; only the ratios between the weights matter. Tuned
// on the public chart corpus (docs/FOOTWORK.md).
struct FootCosts {
  // Standing crossed after a step row: the left foot on a panel right of the right foot's. The
  // legs twist through each other and the knees clip.
  double crossed = 3.0;
  // Added to `crossed` when the feet stand crossed over the two pads of a DOUBLE chart, per panel
  // width they stand apart beyond the two arrows either side of the gap: no hip turn reaches a
  // foot on the far side of the other with the legs straight, so the body squats into a
  // straddle. A dancer steps round instead.
  double wideCrossed = 3.5;
  // Facing away from the screen after a step row, times the square of the turn in quarter turns
  // (a quarter turn with the feet on down and up costs this once).
  double facing = 2.0;
  // Turning the body between two step rows, per half turn: keeps the body from spinning back and
  // forth.
  double turn = 1.0;
  // Feet further apart than one pad's width, per panel of extra width: no splits across the
  // pads of a DOUBLE chart where a step would do.
  double wideStance = 2.0;
  // A foot travelling, per panel width per second of the time it had since its last step: fast
  // long steps are hard.
  double travel = 0.05;
  // One foot stepping two one-note rows running on different panels while the other rests.
  double doubleStep = 10.0;
  // Added to a double step quicker than kShortDoubleStepSeconds.
  double shortDoubleStep = 10.0;
  // One foot stepping one panel in two one-note rows running, quicker than kFastJackSeconds.
  double fastJack = 8.0;
  // The other foot taking the panel a foot has just stepped, which steps aside for it.
  double footswitch = 3.0;
  // Added to a footswitch at kFootswitchSeconds or slower: there is time to step it again.
  double slowFootswitch = 20.0;
  // A Note no foot takes. Notes are dropped only where no foot can take them; this orders the
  // ways of dropping on a row with more arrows than free feet.
  double dropped = 1000.0;
};

}  // namespace pavaneflow
