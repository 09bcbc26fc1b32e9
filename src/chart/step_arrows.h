#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "chart/chart_types.h"

namespace pavaneflow {

// The ArrowCodes one DWI step character stands for, in order: none, one or two, held in place
// so that reading a step allocates nothing.
class StepArrows {
 public:
  StepArrows() = default;
  explicit StepArrows(ArrowCode a) : codes_{a}, size_(1) {}
  StepArrows(ArrowCode a, ArrowCode b) : codes_{a, b}, size_(2) {}
  // The first `count` (0 to 2) of a and b.
  StepArrows(ArrowCode a, ArrowCode b, std::uint8_t count) : codes_{a, b}, size_(count) {}

  const ArrowCode* begin() const { return codes_.data(); }
  const ArrowCode* end() const { return codes_.data() + size_; }
  bool empty() const { return size_ == 0; }
  std::uint8_t size() const { return size_; }
  // Either of the two places, in use or not (then 0).
  ArrowCode operator[](std::size_t i) const { return codes_[i]; }
  operator ArrowCodesView() const { return {codes_.data(), size_}; }

 private:
  std::array<ArrowCode, 2> codes_{};
  std::uint8_t size_ = 0;
};

}  // namespace pavaneflow
