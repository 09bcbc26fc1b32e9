#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "base/portable_math.h"
#include "motion/body_proportions.h"
#include "motion/floor_point.h"
#include "motion/natural/beat_clock.h"
#include "motion/natural/cross_turn_memo.h"
#include "motion/natural/inward_memo.h"
#include "motion/natural/key_track.h"
#include "motion/natural/quick_profile_memo.h"
#include "motion/natural/step_timeline.h"

namespace pavaneflow {

// A foot standing still on the floor from one frame to another, both included.
struct Support {
  std::int32_t from = 0;
  std::int32_t to = 0;
  FloorPoint at;
};

// A moment at which the centre has somewhere to be, found while the feet were planned.
struct CentreEvent {
  // In rising priority: of two events at one frame the higher one is kept.
  // kCarry: the weight over the standing foot while the other is in the air.
  enum Kind {
    kStance,
    kCarry,
    kRecover,
    kCrouchStart,
    kLift,
    kTakeOff,
    kApex,
    kTouchDown,
    kJumpLanding
  };
  std::int32_t frame = 0;
  Kind kind = kStance;
  int standing = -1;      // kLift, kCarry: the foot that stays on the floor
  double yaw = 0.0;       // where the hips aim
  double rise = 0.0;      // kApex: the centre's height above rest; kTakeOff: the crouch's depth
  std::int64_t step = 0;  // the step or jump it belongs to, counted from 1
  double weight = 1.0;    // kLift, kCarry: the share of a full weight shift there is time for
  // kCarry: the top of a swing from one crossing into the opposite one.
  bool flipTop = false;
};

// The feet of a natural dance: each foot's IK key frames, where it stands when, and the moments
// the centre must follow. Index 0 is the left foot.
struct FootSwings {
  std::array<KeyTrack, 2> keys;
  std::array<std::vector<Support>, 2> supports;
  std::vector<CentreEvent> events;  // by frame; of one frame, in the order they were found

  // Where foot `side` stands at `frame`; none while it is in the air.
  std::optional<FloorPoint> PlantedAt(int side, std::int32_t frame) const {
    if (const FrameStance* indexed = IndexedAt(side, frame)) {
      if (!indexed->planted) return std::nullopt;
      return indexed->at;
    }
    const Support* s = SupportAt(static_cast<std::size_t>(side), frame);
    if (s == nullptr || frame > s->to) return std::nullopt;
    return s->at;
  }
  // Both feet at `frame`: each one's StanceAt, and whether it is planted (PlantedAt has a
  // value, the same point). The centre asks of both feet of a key frame at once: one look-up
  // serves both.
  struct Stances {
    std::array<FloorPoint, 2> at;
    std::array<bool, 2> planted;
    bool BothPlanted() const { return planted[0] && planted[1]; }
  };
  Stances StancesAt(std::int32_t frame) const {
    const std::uint32_t k = static_cast<std::uint32_t>(frame) - indexedFrom_;
    if (k < indexedCount_) {
      const FrameStance& left = indexed_[0][k];
      const FrameStance& right = indexed_[1][k];
      return {{left.at, right.at}, {left.planted, right.planted}};
    }
    return {{StanceAt(0, frame), StanceAt(1, frame)},
            {PlantedAt(0, frame).has_value(), PlantedAt(1, frame).has_value()}};
  }
  // Where foot `side` stands at `frame` or, in the air, where it lands next.
  FloorPoint StanceAt(int side, std::int32_t frame) const {
    if (const FrameStance* indexed = IndexedAt(side, frame)) return indexed->at;
    const auto i = static_cast<std::size_t>(side);
    const Support* s = SupportAt(i, frame);
    if (s == nullptr) return supports[i].front().at;
    if (frame <= s->to || s == &supports[i].back()) return s->at;
    return (s + 1)->at;
  }

  // Writes down both feet's answers for every frame from `from` to `to`, both included, as the
  // supports now stand; frames outside are still looked up. The centre asks a few hundred
  // thousand times a dance, nearly all of it about the frames of its key frames: a table read
  // costs a few instructions where the look-up costs a few dozen. Forgotten by Unindex, which
  // must come before the supports change.
  void Index(std::int32_t from, std::int32_t to);
  void Unindex();

 private:
  // Where a foot stands at one frame or, in the air, lands next.
  struct FrameStance {
    FloorPoint at;
    bool planted = false;
  };

  // The written-down answer for foot `side` at `frame`; null outside the indexed frames.
  const FrameStance* IndexedAt(int side, std::int32_t frame) const {
    const std::vector<FrameStance>& table = indexed_[static_cast<std::size_t>(side)];
    // Unsigned, so that frames before the first one wrap past the end and one test rules out
    // both ends.
    const std::uint32_t k = static_cast<std::uint32_t>(frame) - indexedFrom_;
    return k < indexedCount_ ? &table[k] : nullptr;
  }

  // The last support of foot `i` that starts at or before `frame`. The planners ask in frame
  // order, so it is mostly the one found last time or the next: those are tried first, inline
  // (the centre asks a few hundred thousand times a dance), the bisection only after.
  const Support* SupportAt(std::size_t i, std::int32_t frame) const {
    const std::vector<Support>& list = supports[i];
    const std::size_t hint = found_[i];
    const std::size_t count = list.size();
    if (hint < count && list[hint].from <= frame) {
      if (hint + 1 == count || frame < list[hint + 1].from) return &list[hint];
      if (hint + 2 == count || frame < list[hint + 2].from) {
        found_[i] = hint + 1;
        return &list[hint + 1];
      }
    }
    return SearchSupport(i, frame);
  }
  // The same: the support before the last one found, else by bisection.
  [[gnu::noinline]] const Support* SearchSupport(std::size_t i, std::int32_t frame) const;

  // Each foot's support found last, where the next look-up starts.
  mutable std::array<std::size_t, 2> found_{};
  std::array<std::vector<FrameStance>, 2> indexed_;
  std::uint32_t indexedFrom_ = 0;  // the frame of each table's first answer
  std::size_t indexedCount_ = 0;   // how many frames the tables answer for
};

// Plans each step: the foot leaves its panel late (at most kMaxSwingFrames before it lands; after
// a long wait, as the music's beats place the stillness before it, a little more or less; and not
// before the other foot has landed from its own step),
// rises with the distance and the time it has and lands slowly; the other foot stays. Both feet
// moving at once is a jump, at most kMaxJumpFrames from take-off to landing, however long the gap
// before it. The dance is planned in stretches, each one starting at least kStretchGap frames after
// the last step of the one before, so that no step, and no moment of the centre, reaches from one
// into the other. Lifts, jumps, crouches and the widest stance are the body's PadScale times the
// reference body's.
class FootSwingPlanner {
 public:
  // `straightAhead`: the hips' yaw when the dancer faces where she dances to; `beats`: the music's,
  // without which a foot leaves no sooner than kMaxSwingFrames before its landing.
  FootSwingPlanner(const BodyProportions& body, double straightAhead, BeatClock* beats = nullptr)
      : body_(body), scale_(body.PadScale()), straightAhead_(straightAhead), beats_(beats) {}

  // Plans the next stretch, `records` (the first one starting with the starting pose), into
  // `swings`, which it replaces; the last supports reach to the end of time. `after`, the next
  // stretch's first step if there is one, is looked ahead to as the stretch's own steps are.
  void Plan(const std::vector<StepRecord>& records, FootSwings& swings,
            const StepRecord* after = nullptr);

 private:
  // Where a foot was before its last step, so that a step that follows too soon for a swing of
  // its own can take the foot from there in one.
  struct Before {
    bool known = false;
    FloorPoint stand;
    std::int32_t landed = 0;
    double yaw = 0.0;
    std::size_t keys = 0;
    std::size_t supports = 0;
    std::int64_t step = 0;
  };

  // Where the feet stand at the start of the dance, `records` beginning with the starting pose:
  // as it puts them, but a foot whose first step lands sooner than it could get there from that
  // spot already on that step's panel, ready for it, as a player stands.
  std::array<FloorPoint, 2> StartingStance(const std::vector<StepRecord>& records) const;
  void MakeRoom(int side, std::int32_t land);
  void Event(std::int32_t frame, CentreEvent::Kind kind, int standing, double yaw, double rise);
  void Key(int side, std::int32_t frame, FloorPoint at, float lift, double yaw,
           const InterpolationBytes* curve);
  // `yaw`: where the hips aim as it lands; `turn`: where the foot itself then points (FootTurn).
  // `round`: where the foot tops its swing, passing round the other foot; `ahead`: how far in front
  // of its path, along the hips' forward, the foot tops its swing (see Forward); `fall`: the curve
  // it comes down on; `shared`, when given, the quick profile it swings on (none: the usual
  // curves), else it finds its own (see QuickProfile).
  void Swing(int side, std::int32_t lift, std::int32_t apex, double top, std::int32_t land,
             FloorPoint to, double yaw, double turn, FloorPoint round, double ahead,
             const InterpolationBytes* fall, const std::optional<std::size_t>* shared = nullptr);
  // Which quick profile a foot swinging from `from` at `lift`, `top` high over `mid` at `apex`, to
  // `to` at `land` swings on: none where the usual curves keep it under a real foot's speed.
  // Asked only where MayBeQuick allows it.
  std::optional<std::size_t> QuickProfile(FloorPoint from, FloorPoint mid, double top,
                                          FloorPoint to, std::int32_t lift, std::int32_t apex,
                                          std::int32_t land) const;
  // The profile of a quick jump whose feet trade places, their tops (`via`, `tops` high) both
  // moved by the mean of the moves QuickTop gives each; `round` becomes the tops to hand Swing,
  // which moves each by its own.
  std::size_t TradingProfile(const std::array<FloorPoint, 2>& via,
                             const std::array<FloorPoint, 2>& to, const std::array<double, 2>& tops,
                             std::int32_t up, std::int32_t down,
                             std::array<FloorPoint, 2>& round) const;
  // Whether a foot rising over `up` frames from `from` to `top` high over `mid`, and falling over
  // `down` from there to its touch above `to`, on quick profile `profile`, moves further than
  // `quickest` in any frame.
  bool Faster(FloorPoint from, FloorPoint mid, double top, FloorPoint to, std::int32_t up,
              std::int32_t down, std::size_t profile, double quickest) const;
  // The progress of quick curve `curve` at each frame of a span `frames` long.
  const double* QuickProgress(std::size_t curve, std::int32_t frames) const;
  // `mid`, the top of a swing from `from` to `to` in `frames`, moved `ahead` along the forward
  // of hips turned by `yaw`, or less, as far as the path stays at a real foot's pace.
  FloorPoint Forward(FloorPoint from, FloorPoint mid, FloorPoint to, double yaw, double ahead,
                     std::int32_t frames) const;
  // Where a foot stepping on `arrow` lands while the other is on `otherArrow`, before a stance
  // too wide for the legs is narrowed.
  FloorPoint Inward(FloorPoint arrow, FloorPoint otherArrow, double yaw) const;
  // How near each other two feet standing on the inner parts of their panels come.
  double Closest() const;
  // How near each other straight legs from hips turned by `yaw`, over the middle of the feet,
  // to the feet on `left` and `right` come.
  double StraightLegsGap(FloorPoint left, FloorPoint right, double yaw) const;
  // How far each foot stands from its hip joint across the floor, the hips between the feet
  // turned by `yaw`.
  std::pair<double, double> FlatToHips(FloorPoint left, FloorPoint right, double yaw) const;
  // The hip joints' height above the ankles in a stance.
  double StanceHeight() const;
  // Whether both legs reach their feet on `left` and `right` from hips turned by `yaw`.
  bool Reached(FloorPoint left, FloorPoint right, double yaw) const;
  // How far the hip further out of its foot's reach, from hips turned by `yaw`, is beyond it
  // (negative when both reach).
  double Overreach(FloorPoint left, FloorPoint right, double yaw) const;
  // Where each foot of a jump to `to` tops its swing, for hips turned by `yaw` at the top.
  std::array<FloorPoint, 2> JumpTops(const std::array<FloorPoint, 2>& to, double yaw) const;
  // `yaw`, or, where the feet on `left` and `right` stand crossed and the legs would pass
  // through each other, the turn of the hips nearest to where they aim that parts them.
  double Uncrossed(double yaw, FloorPoint left, FloorPoint right) const;
  // Uncrossed's search for crossed feet, trying turns outwards from `from`, first those that put
  // the left foot on the `front` side of the right one (1 ahead, −1 behind, 0 either).
  double PartingTurn(double yaw, double from, double front, FloorPoint left,
                     FloorPoint right) const;
  // Whether foot `side`, stepping to `to` with the hips turning to `yaw`, leaves a crossing or
  // lands in one.
  bool Crossing(int side, FloorPoint to, double yaw) const;
  // Whether foot `side`, stepping to `to` with the hips turning to `yaw`, passes behind the
  // other, standing foot into a crossing or out of one, the hips turning less than kLowTurn.
  bool CrossesBehind(int side, FloorPoint to, double yaw) const;
  // Whether foot `side`, stepping to `to` with the hips turning to `yaw`, goes from one crossing
  // into the other: crossed before and after, with the other leg in front.
  bool Flips(int side, FloorPoint to, double yaw) const;
  // Which side of the other, standing foot, along the hips' forward, foot `side` stepping to
  // `to` with the hips turning to `yaw` passes: where it stands while crossed when it steps into
  // a crossing or out of one (1 in front, −1 behind), as legs cannot pass through each other on
  // the way; 0, the side its path is on, when it does neither.
  double PassingSide(int side, FloorPoint to, double yaw) const;
  // The fewest frames a foot takes to travel `distance` without moving faster than a real one.
  std::int32_t SwingFrames(double distance) const;
  // The most frames before its landing at `land` a foot may leave, `wait` frames after the other
  // foot landed.
  std::int32_t MostFrames(std::int32_t land, std::int32_t wait);
  // Where on its panel foot `side` stands, stepping at `records[k]`: on the inner part, towards
  // the other foot, unless the other foot crosses over it before it steps again (`after`
  // continues the records).
  FloorPoint Spot(int side, const std::vector<StepRecord>& records, std::size_t k,
                  const StepRecord* after) const;
  // `inner`: where on its panel the foot lands, before the stance is narrowed or cut short.
  void Step(int side, const StepRecord& r, FloorPoint inner);
  double TuckedLift(FloorPoint centre, double yaw, int side, FloorPoint at, double rise,
                    double tuck) const;
  void Jump(const StepRecord& r);

  const BodyProportions& body_;
  double scale_;  // the body's PadScale: the lengths of the plan are the reference body's times it
  double straightAhead_;
  BeatClock* beats_;
  FootSwings* swings_ = nullptr;
  bool started_ = false;
  double stanceYaw_ = 0.0;
  std::array<FloorPoint, 2> stand_;
  std::array<std::int32_t, 2> landed_{};
  std::array<double, 2> yaw_{};
  std::array<Before, 2> before_;
  std::int64_t step_ = 0;
  mutable CrossTurnMemo crossTurns_;        // Uncrossed's answers, which depend on nothing else
  mutable InwardMemo inwards_;              // Inward's, likewise
  mutable QuickProfileMemo quickProfiles_;  // QuickProfile's, likewise
  // QuickProgress's tables, each span worked out the first time it is asked for: a dance's quick
  // swings take a few spans of few frames.
  mutable std::vector<double> quickProgress_;
  mutable std::vector<bool> quickKnown_;
  // Each foot's last turn, by the bits of its angle, and the key frames' rotation for it: a
  // foot's key mostly keeps the turn of the one before (a lift the last landing's, a landing
  // that of the frame before).
  struct LastTurn {
    std::uint32_t angleBits = 0;
    bool known = false;
    std::array<float, 4> rotation{};
  };
  std::array<LastTurn, 2> lastTurns_;
};

// Whether the left foot on `left` stands right of the right foot on `right`, for hips aiming
// at `yaw`. Inline: the centre asks it of every key frame, and a call cost about as much as
// the arithmetic.
inline bool Crossed(FloorPoint left, FloorPoint right, double yaw) {
  const auto [sine, cosine] = portable::SinCos(yaw);
  return (static_cast<double>(left.x) - static_cast<double>(right.x)) * cosine -
             (static_cast<double>(left.z) - static_cast<double>(right.z)) * sine <
         0.0;
}

inline constexpr std::int32_t kStretchGap = 30;
inline constexpr std::int32_t kMaxSwingFrames = 12;
inline constexpr std::int32_t kMaxJumpFrames = 15;

}  // namespace pavaneflow
