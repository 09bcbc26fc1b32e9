#pragma once

#include "chart/chart_types.h"

namespace pavaneflow {

// One arrow panel stepped, held or released at a Frame.
struct Note {
  ArrowCode arrow = 0;
  NoteKind kind = kTap;

  friend bool operator==(const Note&, const Note&) = default;
};

}  // namespace pavaneflow
