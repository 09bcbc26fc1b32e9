// Any bytes through the model reader as a PMX file: no crash, no undefined behaviour and no
// allocation beyond the input's size; a model that is read has finite proportions.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "model/model_error.h"
#include "model/model_file.h"
#include "motion/model_proportions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const pavaneflow::BodyProportions body = pavaneflow::ProportionsOf(
        pavaneflow::ReadModel(std::span<const std::uint8_t>(data, size), "fuzz.pmx"));
    if (!std::isfinite(body.PadScale()) || !std::isfinite(body.centreY) ||
        !std::isfinite(body.upperArmDropDegrees)) {
      std::abort();
    }
  } catch (const pavaneflow::ModelError&) {
  }
  return 0;
}
