#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/score.h"
#include "chart/song_document.h"
#include "support/dwi_fixture.h"

namespace pavaneflow {
namespace {

using test::LaneText;
using test::ScoreText;

Lane LaneWithTicks(std::initializer_list<Tick> ticks) {
  Lane lane;
  for (Tick t : ticks) lane.frames.emplace_back(t);
  return lane;
}

TEST(ChartModel, GetFrameKeepsTicksSortedAndUnique) {
  struct Case {
    std::initializer_list<Tick> before;
    Tick tick;
    const char* after;
  };
  const Case cases[] = {
      {{}, 5, "5:"},
      {{24, 48}, 0, "0: 24: 48:"},
      {{0, 48}, 24, "0: 24: 48:"},
      {{0, 48}, 48, "0: 48:"},
      {{0, 48}, 0, "0: 48:"},
      {{0, 48}, 96, "0: 48: 96:"},
      {{0}, -2147483647 - 1, "-2147483648: 0:"},
  };
  for (const Case& c : cases) {
    Lane lane = LaneWithTicks(c.before);
    EXPECT_EQ(lane.GetFrame(c.tick)->tick, c.tick);
    EXPECT_EQ(LaneText(lane), c.after);
  }
}

TEST(ChartModel, NotesKeepTheirOrderAndOneNotePerArrow) {
  struct Case {
    std::u16string added;
    std::u16string marked;
    std::u16string addedAfter;
    const char* notes;
  };
  const Case cases[] = {
      {u"11", u"", u"", "0:1"}, {u"12", u"", u"21", "0:12"},  {u"1", u"1", u"1", "0:1*"},
      {u"", u"3", u"", "0:3*"}, {u"0", u"30", u"", "0:0*3*"}, {u"", u"", u"", "0:"},
  };
  for (const Case& c : cases) {
    Lane lane;
    Frame* frame = lane.GetFrame(0);
    frame->AddNotes(c.added);
    frame->MarkFreezeStarts(c.marked);
    frame->AddNotes(c.addedAfter);
    EXPECT_EQ(LaneText(lane), c.notes);
  }

  // A freeze end becomes a freeze start again.
  Frame frame;
  frame.notes.push_back(Note{u'2', kFreezeEnd});
  frame.MarkFreezeStarts(u"2");
  EXPECT_EQ(frame.notes, (std::vector<Note>{{u'2', kFreezeStart}}));
}

TEST(ChartModel, LanesAreCreatedInOrderOfFirstUse) {
  Score score;
  Lane* one = score.GetLane(1);
  score.GetLane(0);
  EXPECT_EQ(score.GetLane(1), one);
  EXPECT_EQ(ScoreText(score), "1[] 0[]");

  score.AddFreezeStarts(7, 48, u"");
  EXPECT_EQ(ScoreText(score), "1[] 0[] 7[48:]");
}

TEST(ChartModel, FillBeatsAddsEveryWholeBeatBeforeTheEnd) {
  struct Case {
    std::int32_t key;
    Tick end;
    const char* lanes;
  };
  const Case cases[] = {
      {0, 1, "0[0: 30:1]"},      {0, 48, "0[0: 30:1]"},
      {0, 49, "0[0: 30:1 48:]"}, {0, 145, "0[0: 30:1 48: 96: 144:]"},
      {0, 0, "0[30:1]"},         {0, -48, "0[30:1]"},
      {1, 480, "0[30:1]"},
  };
  for (const Case& c : cases) {
    Score score;
    score.GetLane(0)->GetFrame(30)->AddNotes(u"1");
    score.FillBeats(c.key, c.end);
    EXPECT_EQ(ScoreText(score), c.lanes);
  }
}

TEST(ChartModel, DeleteContentsEmptiesTheSong) {
  SongDocument song;
  song.DeleteContents();
  song.title = u"t";
  song.artist = u"a";
  song.file = u"f";
  song.bpm = 120.0f;
  song.gap = 5;
  song.scores.push_back(std::make_unique<Score>());
  song.DeleteContents();
  EXPECT_TRUE(song.title.empty() && song.artist.empty() && song.file.empty());
  EXPECT_EQ(song.bpm, 0.0f);
  EXPECT_EQ(song.gap, 0);
  EXPECT_TRUE(song.scores.empty());
}

}  // namespace
}  // namespace pavaneflow
