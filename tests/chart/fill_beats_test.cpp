// FillBeats merges beats into a Lane either into a fresh array (when the Lane must grow anyway)
// or in place from the back (when it has room); both must give the same Frames.

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "chart/score.h"
#include "support/dwi_fixture.h"

namespace pavaneflow {
namespace {

TEST(FillBeats, GrowingAndInPlaceMergesAgree) {
  struct Case {
    std::initializer_list<Tick> ticks;  // Frames with a tap, in order
    Tick end;
    const char* lanes;
  };
  const Case cases[] = {
      {{}, 97, "0[0: 48: 96:]"},
      {{0, 48}, 97, "0[0:1 48:1 96:]"},
      {{12, 60}, 100, "0[0: 12:1 48: 60:1 96:]"},
      {{47, 49, 95}, 96, "0[0: 47:1 48: 49:1 95:1]"},
      // Frames past the end tick keep their place behind the last beat.
      {{200, 300}, 50, "0[0: 48: 200:1 300:1]"},
      {{-24, 24}, 49, "0[-24:1 0: 24:1 48:]"},
  };
  for (const Case& c : cases) {
    for (bool roomy : {false, true}) {
      SCOPED_TRACE(std::string(c.lanes) + (roomy ? ", in place" : ", growing"));
      Score score;
      Lane* lane = score.GetLane(0);
      if (roomy) lane->frames.reserve(64);
      for (Tick t : c.ticks) lane->GetFrame(t)->AddNotes(u"1");
      const Frame* before = lane->frames.data();
      score.FillBeats(0, c.end);
      EXPECT_EQ(test::ScoreText(score), c.lanes);
      if (roomy) {
        EXPECT_EQ(lane->frames.data(), before);
      }
    }
  }
}

}  // namespace
}  // namespace pavaneflow
