#pragma once

namespace pavaneflow {

// A place on the floor in motion-file units: +x from the pad's left arrow towards its right
// arrow, +z from the down arrow towards the up arrow.
struct FloorPoint {
  float x = 0.0f;
  float z = 0.0f;

  friend bool operator==(const FloorPoint&, const FloorPoint&) = default;
};

}  // namespace pavaneflow
