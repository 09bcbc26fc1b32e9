#pragma once

#include <memory>

#include "motion/natural/arm_swing.h"
#include "motion/natural/bit_keyed_memo.h"
#include "motion/natural/key_track.h"
#include "motion/rotation.h"

namespace pavaneflow {

// Lays the gestures over the chest's and the head's key frames.
class GestureLayer {
 public:
  // Lays `gesture` over the chest's and the head's key frames, which are complete up to its
  // end: the chest leans a little back and towards the standing foot, the head lifts and looks
  // towards the raised hand (only lifts when both arms open out), moving in and out with the
  // arms. Key frames are added where the gesture starts, is full, starts back and ends, on the
  // way the chest and head were going. Tracks without key frames (no upper-body motion asked
  // for) stay empty.
  void Lay(const Gesture& gesture, KeyTrack& upperBody, KeyTrack& neck);

  // The chest's or head's turn by its three angles at a share of the full gesture: every gesture
  // eases in and out over as many frames, so the same few shares come back gesture after gesture.
  using TurnMemo = BitKeyedMemo<4, Quaternion, 8>;
  // How far a turn's curve has come at a share of its time, by the curve's four bytes and the
  // share: a gesture's corners fall between the same few key frames' curves at the same few
  // shares of their frames.
  using ProgressMemo = BitKeyedMemo<2, double, 8>;

 private:
  TurnMemo turns_;
  // On the heap: the page's stack is small.
  std::unique_ptr<ProgressMemo> progress_ = std::make_unique<ProgressMemo>();
  KeyTrack laid_;  // the keys laid again, kept so that its room is taken once for all gestures
};

}  // namespace pavaneflow
