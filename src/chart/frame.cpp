#include "chart/frame.h"

namespace pavaneflow {

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
