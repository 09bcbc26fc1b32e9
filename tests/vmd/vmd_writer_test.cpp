#include "vmd/vmd_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <string>

#include "base/memory_file.h"
#include "support/vmd_bytes.h"
#include "support/vmd_test_reader.h"
#include "vmd/hex_bytes.h"
#include "vmd/not_supported_error.h"

namespace pavaneflow {
namespace {

using test::SerializeVmd;

using test::Concat;
using test::HexBytes;
using test::Zeros;
using Bytes = std::vector<std::uint8_t>;

const Bytes kSignature =
    Concat({Bytes{'V', 'o', 'c', 'a', 'l', 'o', 'i', 'd', ' ', 'M', 'o', 't', 'i',
                  'o', 'n', ' ', 'D', 'a', 't', 'a', ' ', '0', '0', '0', '2'},
            Zeros(5)});
const Bytes kMikuName = Concat({HexBytes("8F 89 89 B9 83 7E 83 4E"), Zeros(12)});
const Bytes kCentreName = Concat({HexBytes("83 5A 83 93 83 5E 81 5B"), Zeros(7)});
const Bytes kIdentity = HexBytes("00 00 00 00 00 00 00 00 00 00 00 00 00 00 80 3F");

// Distinct bytes, so that the record shows where each one went.
const InterpolationBytes kCountingInterpolation = [] {
  InterpolationBytes bytes{};
  std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
  return bytes;
}();

Bytes Ascii(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

// A default record (zero position, identity rotation, zero interpolation) after name and number.
Bytes DefaultRecord(const Bytes& name15, const char* frameHex) {
  return Concat({name15, HexBytes(frameHex), Zeros(12), kIdentity, Zeros(64)});
}

struct WriterCase {
  const char* label;
  std::function<void(MotionDocument&)> fill;
  VmdWriteOptions options;
  Bytes expected;
};

TEST(SerializeVmd, WritesExactBytes) {
  const WriterCase cases[] = {
      {"empty document",
       [](MotionDocument& d) { d.modelName = u"初音ミク"; },
       {},
       Concat({kSignature, kMikuName, Zeros(4)})},
      {"one default frame",
       [](MotionDocument& d) {
         d.modelName = u"初音ミク";
         d.InsertFrame(u"センター", 0);
       },
       {},
       Concat({kSignature, kMikuName, HexBytes("01 00 00 00"),
               DefaultRecord(kCentreName, "00 00 00 00")})},
      {"empty sections appended",
       [](MotionDocument& d) {
         d.modelName = u"初音ミク";
         d.InsertFrame(u"センター", 0);
       },
       {.appendEmptySections = true},
       Concat({kSignature, kMikuName, HexBytes("01 00 00 00"),
               DefaultRecord(kCentreName, "00 00 00 00"), Zeros(16)})},
      {"model name of exactly 20 bytes",
       [](MotionDocument& d) { d.modelName = u"ＡＢＣＤＥＦＧＨＩＪ"; },
       {},
       Concat({kSignature, HexBytes("82 60 82 61 82 62 82 63 82 64 82 65 82 66 82 67 82 68 82 69"),
               Zeros(4)})},
      {"model name cut inside a character",
       [](MotionDocument& d) { d.modelName = u"aＡＢＣＤＥＦＧＨＩＪ"; },
       {},
       Concat({kSignature, HexBytes("61 82 60 82 61 82 62 82 63 82 64 82 65 82 66 82 67 82 68 82"),
               Zeros(4)})},
      {"bone names of exactly 15 and of 16 bytes",
       [](MotionDocument& d) {
         d.InsertFrame(u"abcdefghijklmno", 30);
         d.InsertFrame(u"ＡＢＣＤＥＦＧＨ", 30);
       },
       {},
       Concat({kSignature, Zeros(20), HexBytes("02 00 00 00"),
               DefaultRecord(Ascii("abcdefghijklmno"), "1E 00 00 00"),
               DefaultRecord(HexBytes("82 60 82 61 82 62 82 63 82 64 82 65 82 66 82"),
                             "1E 00 00 00")})},
      {"unencodable name",
       [](MotionDocument& d) { d.InsertFrame(u"€", 0); },
       {},
       Concat({kSignature, Zeros(20), HexBytes("01 00 00 00"),
               DefaultRecord(Concat({Ascii("?"), Zeros(14)}), "00 00 00 00")})},
      {"values set through the pointer",
       [](MotionDocument& d) {
         MotionFrame* frame = d.InsertFrame(u"a", 0x01020304);
         frame->position = {1.0f, -2.5f, 0.0f};
         frame->rotation = {0.0f, 0.0f, -0.0f, 1.0f};
         frame->interpolation = &kCountingInterpolation;
       },
       {},
       Concat({kSignature, Zeros(20), HexBytes("01 00 00 00"), Ascii("a"), Zeros(14),
               HexBytes("04 03 02 01 00 00 80 3F 00 00 20 C0 00 00 00 00"),
               HexBytes("00 00 00 00 00 00 00 00 00 00 00 80 00 00 80 3F"),
               Bytes(kCountingInterpolation.begin(), kCountingInterpolation.end())})},
  };
  for (const auto& c : cases) {
    MotionDocument document;
    c.fill(document);
    EXPECT_EQ(SerializeVmd(document, c.options), c.expected) << c.label;
    // The page's file: the same bytes, kept in memory.
    MemoryFile file;
    WriteVmd(document, file, c.options);
    EXPECT_EQ(file.Bytes(), c.expected) << c.label;
  }
}

TEST(SerializeVmd, WritesEqualFrameNumbersInInsertionOrder) {
  MotionDocument document;
  const std::u16string bones[] = {u"センター", u"左足ＩＫ", u"右足ＩＫ", u"上半身", u"首"};
  for (int number : {10, 5, 10, 0, 5}) {
    for (const auto& bone : bones) document.InsertFrame(bone, number);
  }
  const Bytes bytes = SerializeVmd(document);
  ASSERT_EQ(bytes.size(), 54u + 111u * 25u);
  std::string error;
  const auto contents = test::ReadVmd(bytes, &error);
  ASSERT_TRUE(contents) << error;
  EXPECT_EQ(contents->signature, "Vocaloid Motion Data 0002");
  EXPECT_TRUE(contents->trailing.empty());
  ASSERT_EQ(contents->frames.size(), 25u);
  const std::string encoded[] = {
      "\x83\x5A\x83\x93\x83\x5E\x81\x5B", "\x8D\xB6\x91\xAB\x82\x68\x82\x6A",
      "\x89\x45\x91\xAB\x82\x68\x82\x6A", "\x8F\xE3\x94\xBC\x90\x67", "\x8E\xF1"};
  const int numbers[] = {0, 5, 5, 10, 10};
  for (std::size_t i = 0; i < 25; ++i) {
    EXPECT_EQ(contents->frames[i].frameNumber, numbers[i / 5]) << i;
    EXPECT_EQ(contents->frames[i].boneName, encoded[i % 5]) << i;
  }
}

// Counts what reaches it, to prove that a refused call wrote nothing.
class CountingSink : public ByteSink {
 public:
  void Write(const std::uint8_t*, std::size_t size) override { bytes += size; }
  std::size_t bytes = 0;
};

TEST(Serialize, RefusesToLoadBeforeTouchingAnything) {
  MotionDocument document;
  document.modelName = u"初音ミク";
  document.InsertFrame(u"センター", 3);
  CountingSink sink;
  ByteArchive archive(sink, ByteArchive::Mode::kLoad);
  EXPECT_THROW(Serialize(document, archive), NotSupportedError);
  EXPECT_EQ(sink.bytes, 0u);
  EXPECT_EQ(document.modelName, u"初音ミク");
  EXPECT_EQ(document.FrameCount(), 1u);
}

}  // namespace
}  // namespace pavaneflow
