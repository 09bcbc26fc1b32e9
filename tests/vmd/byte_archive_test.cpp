#include "vmd/byte_archive.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <vector>

#include "vmd/hex_bytes.h"
#include "vmd/not_supported_error.h"

namespace pavaneflow {
namespace {

using test::HexBytes;

// Records every chunk it is handed.
class RecordingSink : public ByteSink {
 public:
  void Write(const std::uint8_t* data, std::size_t size) override {
    chunks.emplace_back(data, data + size);
  }
  std::vector<std::vector<std::uint8_t>> chunks;
};

TEST(ByteArchive, WritesNumbersLittleEndian) {
  struct Case {
    const char* label;
    void (*write)(ByteArchive&);
    const char* hex;
  };
  const Case cases[] = {
      {"30", [](ByteArchive& a) { a.WriteInt32(30); }, "1E 00 00 00"},
      {"-1", [](ByteArchive& a) { a.WriteInt32(-1); }, "FF FF FF FF"},
      {"lowest", [](ByteArchive& a) { a.WriteInt32(std::numeric_limits<std::int32_t>::min()); },
       "00 00 00 80"},
      {"0x12345678", [](ByteArchive& a) { a.WriteInt32(0x12345678); }, "78 56 34 12"},
      {"1.0", [](ByteArchive& a) { a.WriteFloat(1.0f); }, "00 00 80 3F"},
      {"-0.0", [](ByteArchive& a) { a.WriteFloat(-0.0f); }, "00 00 00 80"},
      {"-2.5", [](ByteArchive& a) { a.WriteFloat(-2.5f); }, "00 00 20 C0"},
  };
  for (const auto& c : cases) {
    RecordingSink sink;
    ByteArchive archive(sink, ByteArchive::Mode::kStore);
    c.write(archive);
    archive.Flush();
    ASSERT_EQ(sink.chunks.size(), 1u) << c.label;
    EXPECT_EQ(sink.chunks[0], HexBytes(c.hex)) << c.label;
  }
}

TEST(ByteArchive, HandsOverFullBuffersAndTheRestOnFlush) {
  RecordingSink sink;
  ByteArchive archive(sink, ByteArchive::Mode::kStore);
  std::vector<std::uint8_t> bytes(ByteArchive::kBufferSize + 904);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  archive.Write(bytes);
  ASSERT_EQ(sink.chunks.size(), 1u);
  EXPECT_EQ(sink.chunks[0].size(), ByteArchive::kBufferSize);
  archive.Flush();
  archive.Flush();
  ASSERT_EQ(sink.chunks.size(), 2u);
  std::vector<std::uint8_t> all = sink.chunks[0];
  all.insert(all.end(), sink.chunks[1].begin(), sink.chunks[1].end());
  EXPECT_EQ(all, bytes);
}

TEST(ByteArchive, ClaimedRoomIsNeverSplitByAFlush) {
  constexpr std::size_t kRecord = 111;
  const std::size_t perBuffer = ByteArchive::kBufferSize / kRecord;
  RecordingSink sink;
  ByteArchive archive(sink, ByteArchive::Mode::kStore);
  std::vector<std::uint8_t> expected;
  for (std::size_t i = 0; i < 2 * perBuffer + 3; ++i) {
    std::uint8_t* room = archive.Claim(kRecord);
    for (std::size_t k = 0; k < kRecord; ++k) room[k] = static_cast<std::uint8_t>(i + k);
    for (std::size_t k = 0; k < kRecord; ++k) expected.push_back(static_cast<std::uint8_t>(i + k));
  }
  archive.Flush();
  ASSERT_EQ(sink.chunks.size(), 3u);
  EXPECT_EQ(sink.chunks[0].size(), perBuffer * kRecord);
  EXPECT_EQ(sink.chunks[1].size(), perBuffer * kRecord);
  std::vector<std::uint8_t> all;
  for (const auto& chunk : sink.chunks) all.insert(all.end(), chunk.begin(), chunk.end());
  EXPECT_EQ(all, expected);

  EXPECT_THROW(archive.Claim(ByteArchive::kBufferSize + 1), std::length_error);
}

TEST(ByteArchive, LoadingArchiveRefusesToWriteAndNeverTouchesTheSink) {
  RecordingSink sink;
  ByteArchive archive(sink, ByteArchive::Mode::kLoad);
  EXPECT_TRUE(archive.IsLoading());
  EXPECT_THROW(archive.WriteInt32(1), NotSupportedError);
  EXPECT_THROW(archive.Flush(), NotSupportedError);
  EXPECT_THROW(archive.Claim(4), NotSupportedError);
  EXPECT_TRUE(sink.chunks.empty());
}

}  // namespace
}  // namespace pavaneflow
