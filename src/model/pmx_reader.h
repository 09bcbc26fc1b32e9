#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "model/pmx_model.h"

namespace pavaneflow {

// Reads the bone table of PMX 2.0 or 2.1 bytes: either text encoding, index sizes 1, 2 and 4,
// every weight type. Every count is checked against the bytes left before anything is allocated
// for it, so memory stays in proportion to the input. Refuses, with a ModelError naming
// `fileName`: another format, another version, bytes that break off, impossible values (index
// sizes, encodings, counts, weight types), a parent or IK bone that does not exist, parents in a
// loop, and positions that are not finite.
PmxModel ReadPmx(std::span<const std::uint8_t> bytes, const std::string& fileName);

// Whether `bytes` start as a PMX file does.
bool LooksLikePmx(std::span<const std::uint8_t> bytes);

}  // namespace pavaneflow
