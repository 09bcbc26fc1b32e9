#include "vmd/vmd_signature.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/vmd_bytes.h"
#include "vmd/motion_document.h"
#include "vmd/vmd_writer.h"

namespace pavaneflow {
namespace {

using test::SerializeVmd;

struct SignatureCase {
  std::string bytes;
  bool vmd;
};

TEST(VmdSignature, EitherSignatureAtTheStartMarksAMotion) {
  const SignatureCase cases[] = {
      {std::string("Vocaloid Motion Data 0002\0\0\0\0\0model", 35), true},
      {"Vocaloid Motion Data file", true},
      {"Vocaloid Motion Data 000", false},
      {"vocaloid motion data 0002", false},
      {" Vocaloid Motion Data 0002", false},
      {"\xEF\xBB\xBFVocaloid Motion Data 0002", false},
      {"#TITLE:Vocaloid Motion Data 0002;", false},
      {"", false},
  };
  for (const SignatureCase& c : cases) {
    SCOPED_TRACE(c.bytes);
    EXPECT_EQ(StartsWithVmdSignature(c.bytes), c.vmd);
  }
}

TEST(VmdSignature, OurOwnMotionBytesAreRecognised) {
  MotionDocument motion;
  motion.modelName = u"model";
  const std::vector<std::uint8_t> bytes = SerializeVmd(motion);
  EXPECT_TRUE(StartsWithVmdSignature(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
}

TEST(VmdSignature, AWrittenMotionFileIsRecognisedAndAMissingFileIsNot) {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("pavaneflow_vmd_signature_test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  MotionDocument motion;
  motion.modelName = u"model";
  SaveVmdFile(motion, folder / "a.vmd");
  EXPECT_TRUE(IsVmdFile(folder / "a.vmd"));
  EXPECT_FALSE(IsVmdFile(folder / "missing.vmd"));
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace pavaneflow
