#pragma once

#include <stdexcept>

namespace pavaneflow {

// An operation this program deliberately does not offer, such as reading a VMD file.
class NotSupportedError : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

}  // namespace pavaneflow
