// NoteList holds two Notes in place and moves to a block past them; its capacity follows from its
// size. Every way into and out of the block must keep the Notes and their order.

#include <gtest/gtest.h>

#include <cstddef>
#include <utility>
#include <vector>

#include "chart/note_list.h"

namespace pavaneflow {
namespace {

std::vector<Note> Notes(std::size_t count) {
  std::vector<Note> notes;
  for (std::size_t i = 0; i < count; ++i) {
    notes.push_back(Note{static_cast<ArrowCode>(u'0' + i), static_cast<NoteKind>(i % 3)});
  }
  return notes;
}

TEST(NoteList, KeepsNotesAcrossEveryChangeOfStorage) {
  for (std::size_t count : {0, 1, 2, 3, 4, 5, 8, 9, 17, 1000}) {
    SCOPED_TRACE(count);
    const std::vector<Note> want = Notes(count);
    NoteList list;
    for (const Note& note : want) list.push_back(note);
    ASSERT_EQ(list, want);

    NoteList copy(list);
    EXPECT_EQ(copy, want);
    copy.push_back(Note{u'Z', kTap});
    EXPECT_EQ(list, want);  // the copy has its own block

    NoteList moved(std::move(copy));
    EXPECT_TRUE(copy.empty());
    EXPECT_EQ(moved.size(), count + 1);

    NoteList assigned{{u'9', kTap}, {u'8', kTap}, {u'7', kTap}};
    assigned = list;
    EXPECT_EQ(assigned, want);
    assigned = std::move(moved);
    EXPECT_EQ(assigned.size(), count + 1);
    EXPECT_TRUE(moved.empty());

    // A list may take part of itself, and starts over in place after clear().
    assigned = std::span<const Note>(assigned.data(), count);
    EXPECT_EQ(assigned, want);
    assigned.clear();
    assigned.push_back(Note{u'5', kFreezeEnd});
    EXPECT_EQ(assigned, (std::vector<Note>{{u'5', kFreezeEnd}}));
  }
}

}  // namespace
}  // namespace pavaneflow
