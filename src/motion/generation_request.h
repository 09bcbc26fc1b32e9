#pragma once

#include <cstdint>

namespace pavaneflow {

class SongDocument;
class Score;
class TimingMap;
class FootPlanner;
class MotionStyle;

// What Generate hands to the synthesiser. Owns nothing: the song and the Score must outlive the
// generation.
struct GenerationRequest {
  const SongDocument* song = nullptr;
  const Score* score = nullptr;
  std::int32_t player = 0;  // 0 for 1P; 1 for 2P, used only with a COUPLE chart
  bool twist = true;        // also turn the upper body and the neck
  // How ticks become seconds; null for the classic timing, one tempo from the song's BPM.
  const TimingMap* timing = nullptr;
  // Who decides which foot takes each Note; null for the classic rule, one Frame at a time.
  const FootPlanner* feet = nullptr;
  // How the body moves; null for the classic motion.
  const MotionStyle* motion = nullptr;
};

}  // namespace pavaneflow
