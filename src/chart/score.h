#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "chart/chart_types.h"
#include "chart/lane.h"

namespace pavaneflow {

// One chart of a song: its name ("SINGLE BASIC"), its mode and one Lane per player, in order of
// creation. Owns its Lanes; Lane pointers stay valid for the Score's lifetime.
class Score {
 public:
  std::u16string GetName() const { return name; }

  // The first Lane with `key`, appended if there is none.
  Lane* GetLane(std::int32_t key);
  // The first Lane with `key`, or null.
  const Lane* FindLane(std::int32_t key) const;
  Lane* FindLane(std::int32_t key);

  // Marks `arrows` as freeze starts on the Frame at `tick` of the Lane `key`. The Lane and the
  // Frame are created even when `arrows` is empty.
  Frame* AddFreezeStarts(std::int32_t key, Tick tick, ArrowCodesView arrows);

  // Gives the Lane `key`, if it exists, a Frame on every whole beat before `endTick`.
  void FillBeats(std::int32_t key, Tick endTick);

  std::u16string name;
  // The difficulty rating as the file gives it ("3", "10"), trimmed; shown to the user only.
  std::u16string rating;
  std::vector<std::unique_ptr<Lane>> lanes;
  ChartMode mode = kSingle;

 private:
  // Lane keys are unique, so a map finds the first (only) Lane of a key. A SINGLE chart can open
  // a Lane per ":", and a linear search would make such a chart quadratic.
  std::unordered_map<std::int32_t, Lane*> laneIndex_;
};

}  // namespace pavaneflow
