// The exports of a small dance, byte for byte as recorded in tests/golden/export/. When a change
// is meant to alter them, the test leaves the new files in the test's temporary folder to be
// looked at and copied over the recorded ones.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/memory_file.h"
#include "dance_keys.h"
#include "export/bvh_writer.h"
#include "export/reference_skeleton.h"
#include "export/vrma_writer.h"
#include "support/vmd_test_reader.h"

namespace pavaneflow {
namespace {

namespace fs = std::filesystem;

TEST(GoldenExport, SmallDanceIsWrittenAsRecorded) {
  MotionDocument dance;
  AddSmallDance(dance);
  HumanoidBaker baker(dance, ReferenceSkeleton(), kReferenceBody);
  struct Case {
    const char* name;
    void (*write)(HumanoidBaker&, DurableFile&);
  };
  for (const Case& c : {Case{"small_dance.vrma", WriteVrma}, Case{"small_dance.bvh", WriteBvh}}) {
    MemoryFile file;
    c.write(baker, file);
    const fs::path golden = fs::path(PAVANEFLOW_SOURCE_DIR) / "tests/golden/export" / c.name;
    if (!fs::exists(golden) || test::ReadFileBytes(golden) != file.Bytes()) {
      const fs::path written = fs::path(testing::TempDir()) / c.name;
      std::ofstream(written, std::ios::binary)
          .write(reinterpret_cast<const char*>(file.Bytes().data()),
                 static_cast<std::streamsize>(file.Bytes().size()));
      ADD_FAILURE() << c.name << " differs from " << golden << "; this run wrote " << written;
    }
  }
}

}  // namespace
}  // namespace pavaneflow
