#pragma once

#include "chart/chart_types.h"
#include "chart/note.h"
#include "chart/note_list.h"

namespace pavaneflow {

// One instant of a Lane and the Notes stepped, held or released there. Notes keep the order in
// which they were added; no two share an ArrowCode. A beat Frame has no Notes.
class Frame {
 public:
  Frame() = default;
  explicit Frame(Tick t) : tick(t) {}

  // Appends a tap for every arrow not already present; present Notes keep their kind.
  void AddNotes(ArrowCodesView arrows) {
    for (ArrowCode arrow : arrows) {
      if (FindNote(arrow) == nullptr) notes.push_back(Note{arrow, kTap});
    }
  }
  // Makes every arrow a freeze start, appending a Note for an arrow not yet present.
  void MarkFreezeStarts(ArrowCodesView arrows);

  Note* FindNote(ArrowCode arrow) {
    for (Note& note : notes) {
      if (note.arrow == arrow) return &note;
    }
    return nullptr;
  }

  Tick tick = 0;
  NoteList notes;
};

// Long charts hold millions of Frames; their size is most of the chart model's memory.
static_assert(sizeof(Frame) == 16);

}  // namespace pavaneflow
