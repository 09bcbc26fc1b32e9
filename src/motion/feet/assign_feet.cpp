#include "motion/feet/assign_feet.h"

#include "chart/score.h"
#include "motion/pad/pad_geometry.h"

namespace pavaneflow {
namespace {

constexpr ArrowCode kFirstPadRight = u'3';
constexpr ArrowCode kSecondPadLeft = u'\u0040';

bool CanTake(const FootState& foot, const FootState& other, ArrowCode arrow) {
  return !foot.held && !foot.moved && other.arrow != arrow;
}

void Take(FootState& foot, const Note& note) {
  foot.arrow = note.arrow;
  foot.moved = true;
  foot.held = note.kind == kFreezeStart;
}

}  // namespace

void AssignFeet(const StepPose& previous, const Frame& frame, StepPose& current,
                const GenerationRequest& request) {
  FootState& left = current.left;
  FootState& right = current.right;
  left.arrow = previous.left.arrow;
  left.held = previous.left.held;
  left.moved = false;
  right.arrow = previous.right.arrow;
  right.held = previous.right.held;
  right.moved = false;
  current.leftNext = previous.leftNext;

  // Standing between the DOUBLE pads, a lone Note decides which foot leaves the middle: the one
  // on the side of the pad it is on.
  const bool isDouble = request.score != nullptr && request.score->mode == kDouble;
  if (isDouble && left.arrow == kFirstPadRight && right.arrow == kSecondPadLeft &&
      frame.notes.size() == 1) {
    current.leftNext = frame.notes.front().arrow < kSecondPadLeft;
  }

  // A foot already on an arrow takes it again before any foot steps somewhere new.
  for (const Note& note : frame.notes) {
    if (note.kind == kFreezeEnd) continue;
    if (left.arrow == note.arrow && CanTake(left, right, note.arrow)) {
      Take(left, note);
    } else if (right.arrow == note.arrow && CanTake(right, left, note.arrow)) {
      Take(right, note);
    }
  }

  FootState& first = current.leftNext ? left : right;
  FootState& second = current.leftNext ? right : left;
  for (const Note& note : frame.notes) {
    if (note.kind == kFreezeEnd) continue;
    if (CanTake(first, second, note.arrow)) {
      Take(first, note);
    } else if (CanTake(second, first, note.arrow)) {
      Take(second, note);
    }
  }

  // Freezes end after the other Notes are given out, so a foot whose freeze ends here still
  // counts as holding for them.
  for (const Note& note : frame.notes) {
    if (note.kind != kFreezeEnd) continue;
    if (left.arrow == note.arrow) {
      left.held = false;
    } else if (right.arrow == note.arrow) {
      right.held = false;
    }
  }

  if (left.moved && !right.moved) {
    current.leftNext = false;
  } else if (right.moved && !left.moved) {
    current.leftNext = true;
  }

  PlaceFeet(request, current);
}

}  // namespace pavaneflow
