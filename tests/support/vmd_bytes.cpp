#include "support/vmd_bytes.h"

#include "base/memory_file.h"

namespace pavaneflow::test {

std::vector<std::uint8_t> SerializeVmd(const MotionDocument& document,
                                       const VmdWriteOptions& options) {
  MemoryFile file;
  WriteVmd(document, file, options);
  return file.Bytes();
}

}  // namespace pavaneflow::test
