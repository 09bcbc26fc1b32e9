#include "motion/classic/run.h"

#include <bit>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "base/file_error.h"
#include "chart/song_document.h"
#include "motion/bone_names.h"
#include "support/vmd_bytes.h"
#include "support/vmd_test_reader.h"

namespace pavaneflow {
namespace {

using test::SerializeVmd;

// A song with one SINGLE chart whose Lane 0 holds one tap on the down arrow at tick 0.
struct SmallSong {
  SmallSong() {
    song.bpm = 120;
    auto score = std::make_unique<Score>();
    score->name = u"SINGLE BASIC";
    score->GetLane(0)->GetFrame(0)->AddNotes(u"1");
    song.scores.push_back(std::move(score));
  }
  GenerationRequest Request() const { return {&song, song.scores.front().get(), 0, true}; }

  SongDocument song;
};

// One key frame of the small run, every float as its exact bits.
struct Expected {
  std::u16string_view bone;
  std::array<std::uint32_t, 3> position;
  std::uint32_t rotationY;
  std::uint32_t rotationW;
};

std::uint32_t Bits(float value) {
  return std::bit_cast<std::uint32_t>(value);
}

TEST(Synthesize, OneTapOnTheDownArrow) {
  SmallSong small;
  MotionDocument document;
  Synthesize(small.Request(), document);

  EXPECT_EQ(document.modelName, kModelName);
  ASSERT_EQ(document.FrameCount(), 13u);
  // Yaw quaternions (y, w): π, none, 9π/8 between, 5π/4 at the new pose, −π/8 of twist.
  constexpr std::uint32_t kPiY = 0x3f800000, kPiW = 0xb33bbd2e;
  constexpr std::uint32_t kMidY = 0x3f7b14be, kMidW = 0xbe47c5c2;
  constexpr std::uint32_t kNewY = 0x3f6c835e, kNewW = 0xbec3ef18;
  constexpr std::uint32_t kTwistY = 0xbe47c5c3, kTwistW = 0x3f7b14be;
  constexpr std::uint32_t kOne = 0x3f800000;
  constexpr std::uint32_t kMinus49 = 0xc09ccccd, kMinus2 = 0xc0000000;
  const Expected expected[] = {
      {kCentreBone, {0, 0xbfa147ae, 0}, kPiY, kPiW},  // crouch −0.76 less the beat's 0.5
      {kLeftFootIkBone, {kMinus49, 0, 0}, kPiY, kPiW},
      {kRightFootIkBone, {0x409ccccd, 0, 0}, kPiY, kPiW},
      {kUpperBodyBone, {0, 0, 0}, 0, kOne},
      {kNeckBone, {0, 0, 0}, 0, kOne},
      {kCentreBone, {0xbf800000, 0xbe5621c5, 0xbf800000}, kMidY, kMidW},
      {kLeftFootIkBone, {kMinus49, 0, 0}, kMidY, kMidW},
      {kRightFootIkBone, {0x4039999a, 0x40000000, kMinus2}, kMidY, kMidW},
      {kCentreBone, {kMinus2, 0xbf358871, kMinus2}, kNewY, kNewW},
      {kLeftFootIkBone, {kMinus49, 0, 0}, kNewY, kNewW},
      {kRightFootIkBone, {0x3f666666, 0, 0xc0800000}, kNewY, kNewW},
      {kUpperBodyBone, {0, 0, 0}, kTwistY, kTwistW},
      {kNeckBone, {0, 0, 0}, kTwistY, kTwistW},
  };
  for (std::size_t i = 0; i < 13; ++i) {
    SCOPED_TRACE(testing::Message() << "key frame " << i);
    const MotionFrame& frame = document.At(i);
    EXPECT_EQ(frame.boneName(), expected[i].bone);
    EXPECT_EQ(frame.frameNumber(), 0);
    for (std::size_t j = 0; j < 3; ++j) EXPECT_EQ(Bits(frame.position[j]), expected[i].position[j]);
    EXPECT_EQ(Bits(frame.rotation[0]), 0u);
    EXPECT_EQ(Bits(frame.rotation[1]), expected[i].rotationY);
    EXPECT_EQ(Bits(frame.rotation[2]), 0u);
    EXPECT_EQ(Bits(frame.rotation[3]), expected[i].rotationW);
    EXPECT_EQ(*frame.interpolation, kDefaultInterpolation);
  }
  EXPECT_EQ(SerializeVmd(document).size(), 1497u);
}

TEST(Synthesize, WhichKeyFramesAChartGives) {
  struct Case {
    const char* name;
    std::function<void(SongDocument&, GenerationRequest&)> change;
    std::size_t frames;
  };
  const Case cases[] = {
      {"the small run", [](SongDocument&, GenerationRequest&) {}, 13},
      {"no twist", [](SongDocument&, GenerationRequest& r) { r.twist = false; }, 9},
      {"bpm 0 leaves the starting pose", [](SongDocument& s, GenerationRequest&) { s.bpm = 0; }, 5},
      {"no Lane for the player", [](SongDocument&, GenerationRequest& r) { r.player = 1; }, 0},
      {"a Lane without Frames",
       [](SongDocument& s, GenerationRequest&) { s.scores[0]->lanes[0]->frames.clear(); }, 5},
      {"a gap before the song starts", [](SongDocument& s, GenerationRequest&) { s.gap = -1000; },
       5},
      {"a later beat Frame bobs and dips",
       [](SongDocument& s, GenerationRequest&) { s.scores[0]->FillBeats(0, 49); }, 21},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SmallSong small;
    GenerationRequest request = small.Request();
    c.change(small.song, request);
    MotionDocument document;
    document.InsertFrame(u"leftover", 1);
    Synthesize(request, document);
    EXPECT_EQ(document.modelName, kModelName);
    EXPECT_EQ(document.FrameCount(), c.frames);
  }
}

TEST(Synthesize, ExtremeTemposAndGapsStayOnTheTimeLine) {
  const float inf = std::numeric_limits<float>::infinity();
  const std::int32_t gaps[] = {0, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max()};
  for (const float bpm : {-120.0f, 1e-45f, 1e-30f, inf, -inf, std::nanf(""), 3.4e38f}) {
    for (const std::int32_t gap : gaps) {
      SCOPED_TRACE(testing::Message() << "bpm " << bpm << " gap " << gap);
      SmallSong small;
      small.song.bpm = bpm;
      small.song.gap = gap;
      Lane& lane = *small.song.scores[0]->lanes[0];
      for (const Tick tick : {24, 48, 1 << 20, std::numeric_limits<Tick>::max()}) {
        lane.GetFrame(tick)->AddNotes(tick % 48 == 0 ? u"03" : u"2");
      }
      MotionDocument document;
      Synthesize(small.Request(), document);
      for (std::size_t i = 0; i < document.FrameCount(); ++i) {
        const MotionFrame& frame = document.At(i);
        ASSERT_GE(frame.frameNumber(), 0);
        for (const float v : frame.position) ASSERT_TRUE(std::isfinite(v)) << i;
        if (i > 0) {
          ASSERT_LE(document.At(i - 1).frameNumber(), frame.frameNumber());
        }
      }
    }
  }
}

TEST(Synthesize, DancesOnlyThePlayersLaneOnThePlayersPad) {
  SongDocument song;
  song.bpm = 120;
  Score score;
  score.mode = kCouple;
  score.GetLane(1)->GetFrame(48)->AddNotes(u"1");
  score.GetLane(0)->GetFrame(0)->AddNotes(u"2");
  MotionDocument document;
  Synthesize({&song, &score, 1, false}, document);
  ASSERT_EQ(document.FrameCount(), 9u);
  EXPECT_EQ(document.At(0).position[0], 6.0f);  // the 2P pad
  EXPECT_EQ(document.At(3).frameNumber(), 7);   // in between frames 0 and 15
  EXPECT_EQ(document.At(8).frameNumber(), 15);
  EXPECT_EQ(document.At(8).position, (std::array<float, 3>{6.9f, 0, -4}));
}

TEST(Run, WritesTheSynthesisedDocument) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("pavaneflow-run-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  SmallSong small;
  pavaneflow::Run(small.Request(), dir / "small.vmd");
  pavaneflow::Run(small.Request(), dir / "compat.vmd", {.appendEmptySections = true});
  const auto bytes = test::ReadFileBytes(dir / "small.vmd");
  MotionDocument document;
  Synthesize(small.Request(), document);
  EXPECT_EQ(bytes, SerializeVmd(document));
  ASSERT_EQ(bytes.size(), 1497u);
  const auto contents = test::ReadVmd(bytes);
  ASSERT_TRUE(contents.has_value());
  EXPECT_EQ(contents->frames.size(), 13u);
  EXPECT_EQ(contents->modelName, "\x8F\x89\x89\xB9\x83\x7E\x83\x4E");
  EXPECT_EQ(test::ReadFileBytes(dir / "compat.vmd").size(), 1497u + 16u);
  EXPECT_THROW(pavaneflow::Run(small.Request(), dir / "missing" / "x.vmd"), FileError);
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));

  // A long chart is written while it is danced; with a falling tempo its key frames come out of
  // order, and the file is written once the dance is done.
  for (const float bpm : {150.0f, -150.0f}) {
    SmallSong song;
    song.song.bpm = bpm;
    song.song.gap = 5'000'000;
    Lane& lane = *song.song.scores[0]->lanes[0];
    static const std::u16string_view arrows[] = {u"0", u"3", u"12", u"2"};
    for (Tick tick = 24; tick < 24 * 20'000; tick += 24) {
      lane.GetFrame(tick)->AddNotes(arrows[(tick / 24) % 4]);
    }
    MotionDocument written;
    pavaneflow::Run(song.Request(), written, dir / "long.vmd");
    MotionDocument expected;
    Synthesize(song.Request(), expected);
    EXPECT_EQ(expected.InCreationOrder(), bpm > 0);
    EXPECT_EQ(written.FrameCount(), expected.FrameCount());
    EXPECT_EQ(test::ReadFileBytes(dir / "long.vmd"), SerializeVmd(expected)) << bpm;
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace pavaneflow
