#pragma once

#include <cstdint>

#include "chart/chart_types.h"
#include "chart/frame_list.h"

namespace pavaneflow {

// The Frames of one player in a Score, strictly ascending by tick.
class Lane {
 public:
  Lane() = default;
  explicit Lane(std::int32_t k) : key(k) {}

  // The Frame at `tick`, inserted in tick order if there is none. The pointer stays valid until
  // the next Frame is inserted into this Lane.
  Frame* GetFrame(Tick tick) { return frames.Get(tick); }

  std::int32_t key = 0;  // player index
  FrameList frames;
};

}  // namespace pavaneflow
