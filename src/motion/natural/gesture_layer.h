#pragma once

#include "motion/natural/arm_swing.h"
#include "motion/natural/key_track.h"

namespace pavaneflow {

// Lays `gesture` over the chest's and the head's key frames, which are complete up to its end:
// the chest leans a little back and towards the standing foot, the head lifts and looks
// towards the raised hand (only lifts when both arms open out), moving in and out with the
// arms. Key frames are added where the gesture starts, is full, starts back and ends, on the
// way the chest and head were going. Tracks without key frames (no upper-body motion asked for)
// stay empty.
void LayGesture(const Gesture& gesture, KeyTrack& upperBody, KeyTrack& neck);

}  // namespace pavaneflow
