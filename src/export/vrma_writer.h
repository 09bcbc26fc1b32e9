#pragma once

#include "base/durable_file.h"
#include "export/humanoid_baker.h"

namespace pavaneflow {

// Writes the dance of `baker` as VRM Animation (.vrma) into `file` and commits it: a binary glTF
// with the VRMC_vrm_animation extension (specVersion 1.0) whose humanoid bones are nodes in the
// T-pose with identity rest rotations, facing +z, in metres (ExportPoint, ExportRotation). Every
// frame is keyed, 30 a second, with linear interpolation: each bone's rotation, and the hips'
// position as absolute positions, with the rest hips node at the figure's own hips height (a
// player scales the hips' path by its model's hips height over that one).
//
// Throws whatever the file throws; the file is then not committed. The longest dance a baker
// takes fits the format's 4 GiB.
void WriteVrma(HumanoidBaker& baker, DurableFile& file);

}  // namespace pavaneflow
