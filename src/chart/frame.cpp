#include "chart/frame.h"

namespace pavaneflow {

Note* Frame::FindNote(ArrowCode arrow) {
  for (Note& note : notes) {
    if (note.arrow == arrow) return &note;
  }
  return nullptr;
}

void Frame::AddNotes(ArrowCodesView arrows) {
  for (ArrowCode arrow : arrows) {
    if (FindNote(arrow) == nullptr) notes.push_back(Note{arrow, kTap});
  }
}

void Frame::MarkFreezeStarts(ArrowCodesView arrows) {
  for (ArrowCode arrow : arrows) {
    if (Note* note = FindNote(arrow)) {
      note->kind = kFreezeStart;
    } else {
      notes.push_back(Note{arrow, kFreezeStart});
    }
  }
}

}  // namespace pavaneflow
