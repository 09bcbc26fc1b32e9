#pragma once

#include <stdexcept>

namespace pavaneflow {

// An operation this program deliberately does not offer, such as loading a motion through the VMD
// serialiser (VMD files are read by ReadVmdFile, into a VmdMotion, not into a MotionDocument).
class NotSupportedError : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

}  // namespace pavaneflow
