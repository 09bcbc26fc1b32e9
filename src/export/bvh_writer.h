#pragma once

#include "base/durable_file.h"
#include "export/humanoid_baker.h"

namespace pavaneflow {

// Writes the dance of `baker` as BVH motion capture text into `file` and commits it. The
// hierarchy is the humanoid T-pose in centimetres, y up, the figure facing +z with its left side
// at +x (ExportPoint, ExportRotation), under plain ASCII joint names (Hips, Spine, Chest, Neck,
// Head, LeftShoulder, LeftArm, LeftForeArm, LeftHand, LeftUpLeg, LeftLeg, LeftFoot, LeftToeBase
// and the right ones). The root, Hips, stands at OFFSET 0 0 0 and its channels hold the hips'
// absolute position, which every reader agrees on. Every joint turns by "Yrotation Zrotation
// Xrotation" in degrees, R = Ry · Rz · Rx, each angle kept within half a turn of the frame before
// it. 30 frames a second: "Frame Time: 0.0333333".
//
// Throws whatever the file throws; the file is then not committed.
void WriteBvh(HumanoidBaker& baker, DurableFile& file);

}  // namespace pavaneflow
