#pragma once

#include <cstdint>
#include <vector>

#include "vmd/motion_document.h"
#include "vmd/vmd_writer.h"

namespace pavaneflow::test {

// The bytes WriteVmd makes of `document`, kept in memory.
std::vector<std::uint8_t> SerializeVmd(const MotionDocument& document,
                                       const VmdWriteOptions& options = {});

}  // namespace pavaneflow::test
