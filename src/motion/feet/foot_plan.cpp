#include "motion/feet/foot_plan.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>

#include "chart/score.h"
#include "motion/feet/footwork_terms.h"
#include "motion/pad/pad_geometry.h"
#include "motion/pad/step_pose.h"

namespace pavaneflow {
namespace {

// Panel indices and the two held flags make a state key below 4 × 16 × 16, which the trail
// packs into 16 bits beside a 16-bit index of the state it came from.
constexpr int kMaxPanels = 16;
constexpr std::uint32_t kKeyBits = 16;
constexpr std::uint32_t kKeyMask = (1u << kKeyBits) - 1;
using PanelMask = std::uint32_t;

// The time a foot is taken to have had for its first step, and wherever the timing gives none
// (a BPM of 0).
constexpr double kRestSeconds = 1.0;
// Steps on one instant are costed as if they had this long, not as infinitely fast.
constexpr double kLeastStepSeconds = 0.05;
// Arrows lie this far from their pad's centre; distances are counted in it.
constexpr double kPanelWidth = 4.0;
// Feet this many panel widths apart (left to right of one pad) still stand comfortably.
constexpr double kComfortableWidth = 2.0;
// Feet crossed over the two pads of a DOUBLE chart this many panel widths apart (on the two
// arrows either side of the gap) still stand comfortably.
constexpr double kComfortableCrossedWidth = 1.5;
// Panels of one pad, left to right (PanelX).
constexpr int kPanelsPerPad = 3;
constexpr double kQuarterTurn = std::numbers::pi / 2;

// A Frame with Notes: its steps (taps and freeze starts) and then its freeze ends, as panels.
struct Row {
  double seconds;
  std::uint32_t first;
  std::uint8_t steps;
  std::uint8_t ends;
};

// The feet after a row.
struct State {
  int left;
  int right;
  bool leftHeld;
  bool rightHeld;
};

struct Entry {
  std::uint32_t key;
  double cost;
  std::uint32_t back;  // index of the state before, in the previous row's entries
};

// What the last step row asks of the next one.
struct LastStep {
  bool exists = false;
  bool oneNote = false;
  double seconds = 0.0;
  double gap = kRestSeconds;  // seconds from the step row before it
  PanelMask steps = 0;
  PanelMask taps = 0;

  // Whether a foot standing on `panel` after that row took one of its Notes: it stands on one
  // and did not hold there through a tap.
  bool Moved(int panel, bool held) const {
    const PanelMask bit = PanelMask{1} << panel;
    return (steps & bit) != 0 && !(held && (taps & bit) != 0);
  }
};

class Planner {
 public:
  Planner(const GenerationRequest& request, const FootCosts& costs)
      : request_(request), costs_(costs) {}

  bool Collect(const Lane& lane, const TimingMap& timing) {
    StepPose start;
    StartPose(request_, start);
    startLeft_ = PanelOf(start.left.arrow);
    startRight_ = PanelOf(start.right.arrow);
    // Growing these by doubling copied them over and over on long charts; a Frame holds one or
    // two Notes nearly always.
    const std::size_t frames = lane.frames.size();
    rows_.reserve(frames);
    panels_.reserve(frames * 2);
    starts_.reserve(frames * 2);
    for (const Frame& frame : lane.frames) {
      if (frame.notes.empty()) continue;
      Row row{timing.BeatSeconds(frame.tick), static_cast<std::uint32_t>(panels_.size()), 0, 0};
      for (const Note& note : frame.notes) {
        if (note.kind == kFreezeEnd) continue;
        if (!AddNote(note)) return false;
        ++row.steps;
      }
      for (const Note& note : frame.notes) {
        if (note.kind != kFreezeEnd) continue;
        if (!AddNote(note)) return false;
        ++row.ends;
      }
      rows_.push_back(row);
    }
    MakeTables();
    return true;
  }

  std::vector<PlannedFeet> Solve() {
    const std::size_t count = codes_.size();
    slot_.assign(4 * count * count, -1);
    std::vector<Entry> previous{{Key({startLeft_, startRight_, false, false}), 0.0, 0}};
    std::vector<Entry> current;
    // For every row the states reached, each with the index of the state it came from.
    std::vector<std::uint32_t> trail;
    std::vector<std::uint32_t> rowStart;
    trail.reserve(rows_.size() * 8);
    rowStart.reserve(rows_.size());
    LastStep last;
    for (const Row& row : rows_) {
      current.clear();
      for (std::uint32_t i = 0; i < previous.size(); ++i) {
        Expand(previous[i], i, row, last, current);
      }
      rowStart.push_back(static_cast<std::uint32_t>(trail.size()));
      for (const Entry& entry : current) {
        trail.push_back(entry.key | entry.back << kKeyBits);
        slot_[entry.key] = -1;
      }
      std::swap(previous, current);
      if (row.steps > 0) last = Remember(row, last);
    }
    return Trace(previous, trail, rowStart);
  }

 private:
  bool AddNote(const Note& note) {
    const int panel = PanelOf(note.arrow);
    if (panel < 0) return false;
    panels_.push_back(static_cast<std::uint8_t>(panel));
    starts_.push_back(note.kind == kFreezeStart);
    return true;
  }

  // The index of `code`, given one if it is new; -1 when there are too many.
  int PanelOf(ArrowCode code) {
    for (std::size_t i = 0; i < codes_.size(); ++i) {
      if (codes_[i] == code) return static_cast<int>(i);
    }
    if (codes_.size() == kMaxPanels) return -1;
    codes_.push_back(code);
    return static_cast<int>(codes_.size()) - 1;
  }

  void MakeTables() {
    const std::size_t count = codes_.size();
    const ChartMode mode = request_.score != nullptr ? request_.score->mode : kSingle;
    distance_.assign(count * count, 0.0);
    stance_.assign(count * count, 0.0);
    angle_.assign(count * count, 0.0);
    for (std::size_t l = 0; l < count; ++l) {
      const FloorPoint left = ArrowPosition(request_, codes_[l]);
      for (std::size_t r = 0; r < count; ++r) {
        const FloorPoint right = ArrowPosition(request_, codes_[r]);
        const double dx = static_cast<double>(right.x) - static_cast<double>(left.x);
        const double dz = static_cast<double>(right.z) - static_cast<double>(left.z);
        const double distance = std::sqrt(dx * dx + dz * dz) / kPanelWidth;
        // The body faces across the line from the left foot to the right one: 0 side by side,
        // a quarter turn on down and up, more than that crossed.
        const double angle = std::atan2(dz, dx);
        const double turn = std::fabs(angle) / kQuarterTurn;
        double stance = costs_.facing * turn * turn +
                        costs_.wideStance * std::max(0.0, distance - kComfortableWidth);
        const int leftX = PanelX(mode, codes_[l]);
        const int rightX = PanelX(mode, codes_[r]);
        if (leftX > rightX) stance += costs_.crossed;
        if (leftX / kPanelsPerPad > rightX / kPanelsPerPad) {
          stance += costs_.wideCrossed * std::max(0.0, distance - kComfortableCrossedWidth);
        }
        distance_[l * count + r] = distance;
        stance_[l * count + r] = stance;
        angle_[l * count + r] = angle;
      }
    }
  }

  std::uint32_t Key(const State& s) const {
    const auto count = static_cast<std::uint32_t>(codes_.size());
    return ((static_cast<std::uint32_t>(s.leftHeld) * 2 + static_cast<std::uint32_t>(s.rightHeld)) *
                count +
            static_cast<std::uint32_t>(s.left)) *
               count +
           static_cast<std::uint32_t>(s.right);
  }

  State Decode(std::uint32_t key) const {
    const auto count = static_cast<std::uint32_t>(codes_.size());
    const auto right = static_cast<int>(key % count);
    key /= count;
    const auto left = static_cast<int>(key % count);
    key /= count;
    return {left, right, (key & 2) != 0, (key & 1) != 0};
  }

  LastStep Remember(const Row& row, const LastStep& last) const {
    LastStep next;
    next.exists = true;
    next.oneNote = row.steps == 1;
    next.seconds = row.seconds;
    next.gap = Gap(row, last);
    for (std::uint32_t i = row.first; i < row.first + row.steps; ++i) {
      const PanelMask bit = PanelMask{1} << panels_[i];
      next.steps |= bit;
      if (!starts_[i]) next.taps |= bit;
    }
    return next;
  }

  static double Gap(const Row& row, const LastStep& last) {
    if (!last.exists) return kRestSeconds;
    const double gap = row.seconds - last.seconds;
    return std::isfinite(gap) && gap >= 0.0 ? gap : kRestSeconds;
  }

  // A transition from `from` to `to` on `row`: what changed and what it cost.
  struct Move {
    State to;
    bool leftTook;
    bool rightTook;
    bool footswitch;
    int dropped;
  };

  void Expand(const Entry& entry, std::uint32_t index, const Row& row, const LastStep& last,
              std::vector<Entry>& out) {
    const State s = Decode(entry.key);
    if (row.steps == 0) {
      Add(Released(s, row), entry.cost, index, out);
      return;
    }
    const std::uint8_t* notes = panels_.data() + row.first;
    const std::uint8_t* starts = starts_.data() + row.first;
    const int steps = row.steps;
    bool any = false;
    auto tryMove = [&](const Move& move) {
      any = true;
      Add(Released(move.to, row), entry.cost + Cost(s, move, row, last), index, out);
    };
    if (steps == 1) {
      const int a = notes[0];
      const bool start = starts[0] != 0;
      if (!s.leftHeld && s.right != a)
        tryMove({{a, s.right, start, s.rightHeld}, true, false, false, 0});
      if (!s.rightHeld && s.left != a)
        tryMove({{s.left, a, s.leftHeld, start}, false, true, false, 0});
      // The foot that has just stepped this arrow gives it up to the other and steps aside.
      if (!s.leftHeld && !s.rightHeld && last.oneNote) {
        const int count = static_cast<int>(codes_.size());
        if (s.left == a && last.Moved(s.left, s.leftHeld)) {
          for (int p = 0; p < count; ++p) {
            if (p != a && p != s.right) tryMove({{p, a, false, start}, false, true, true, 0});
          }
        }
        if (s.right == a && last.Moved(s.right, s.rightHeld)) {
          for (int p = 0; p < count; ++p) {
            if (p != a && p != s.left) tryMove({{a, p, start, false}, true, false, true, 0});
          }
        }
      }
    } else if (!s.leftHeld && !s.rightHeld) {
      for (int i = 0; i < steps; ++i) {
        for (int j = 0; j < steps; ++j) {
          if (i == j) continue;
          tryMove(
              {{notes[i], notes[j], starts[i] != 0, starts[j] != 0}, true, true, false, steps - 2});
        }
      }
    } else {
      // One foot holds: the free one takes what it can and the rest is dropped.
      for (int i = 0; i < steps; ++i) {
        if (!s.leftHeld && s.right != notes[i]) {
          tryMove(
              {{notes[i], s.right, starts[i] != 0, s.rightHeld}, true, false, false, steps - 1});
        }
        if (!s.rightHeld && s.left != notes[i]) {
          tryMove({{s.left, notes[i], s.leftHeld, starts[i] != 0}, false, true, false, steps - 1});
        }
      }
    }
    if (!any) Add(Released(s, row), entry.cost + costs_.dropped * steps, index, out);
  }

  double Cost(const State& from, const Move& move, const Row& row, const LastStep& last) const {
    const std::size_t count = codes_.size();
    const State& to = move.to;
    const std::size_t before =
        static_cast<std::size_t>(from.left) * count + static_cast<std::size_t>(from.right);
    const std::size_t after =
        static_cast<std::size_t>(to.left) * count + static_cast<std::size_t>(to.right);
    double cost = stance_[after] + costs_.dropped * move.dropped;

    double turn = std::fabs(angle_[after] - angle_[before]);
    if (turn > std::numbers::pi) turn = 2 * std::numbers::pi - turn;
    cost += costs_.turn * turn / std::numbers::pi;

    const double gap = Gap(row, last);
    const bool leftStepped = last.Moved(from.left, from.leftHeld);
    const bool rightStepped = last.Moved(from.right, from.rightHeld);
    if (to.left != from.left) {
      const double time = std::max(leftStepped ? gap : gap + last.gap, kLeastStepSeconds);
      cost += costs_.travel *
              distance_[static_cast<std::size_t>(from.left) * count +
                        static_cast<std::size_t>(to.left)] /
              time;
    }
    if (to.right != from.right) {
      const double time = std::max(rightStepped ? gap : gap + last.gap, kLeastStepSeconds);
      cost += costs_.travel *
              distance_[static_cast<std::size_t>(from.right) * count +
                        static_cast<std::size_t>(to.right)] /
              time;
    }

    if (move.footswitch) {
      cost += costs_.footswitch;
      if (gap >= kFootswitchSeconds) cost += costs_.slowFootswitch;
    } else if (row.steps == 1 && last.oneNote) {
      const bool leftAgain = move.leftTook && leftStepped && !rightStepped;
      const bool rightAgain = move.rightTook && rightStepped && !leftStepped;
      if (leftAgain || rightAgain) {
        const bool samePanel = leftAgain ? to.left == from.left : to.right == from.right;
        if (!samePanel) {
          cost += costs_.doubleStep;
          if (gap < kShortDoubleStepSeconds) cost += costs_.shortDoubleStep;
        } else if (gap < kFastJackSeconds) {
          cost += costs_.fastJack;
        }
      }
    }
    return cost;
  }

  State Released(State s, const Row& row) const {
    for (std::uint32_t i = row.first + row.steps; i < row.first + row.steps + row.ends; ++i) {
      if (s.left == panels_[i]) {
        s.leftHeld = false;
      } else if (s.right == panels_[i]) {
        s.rightHeld = false;
      }
    }
    return s;
  }

  // Keeps the cheapest way into each state; the first found wins a tie.
  void Add(const State& s, double cost, std::uint32_t back, std::vector<Entry>& out) {
    const std::uint32_t key = Key(s);
    int& slot = slot_[key];
    if (slot < 0) {
      slot = static_cast<int>(out.size());
      out.push_back({key, cost, back});
    } else if (cost < out[static_cast<std::size_t>(slot)].cost) {
      out[static_cast<std::size_t>(slot)].cost = cost;
      out[static_cast<std::size_t>(slot)].back = back;
    }
  }

  std::vector<PlannedFeet> Trace(const std::vector<Entry>& final,
                                 const std::vector<std::uint32_t>& trail,
                                 const std::vector<std::uint32_t>& rowStart) const {
    std::vector<PlannedFeet> plan(rows_.size());
    if (rows_.empty()) return plan;
    std::size_t best = 0;
    for (std::size_t i = 1; i < final.size(); ++i) {
      if (final[i].cost < final[best].cost) best = i;
    }
    std::vector<std::uint32_t> keys(rows_.size());
    std::uint32_t index = static_cast<std::uint32_t>(best);
    for (std::size_t r = rows_.size(); r-- > 0;) {
      const std::uint32_t packed = trail[rowStart[r] + index];
      keys[r] = packed & kKeyMask;
      index = packed >> kKeyBits;
    }
    State before{startLeft_, startRight_, false, false};
    for (std::size_t r = 0; r < rows_.size(); ++r) {
      const State after = Decode(keys[r]);
      PanelMask steps = 0;
      for (std::uint32_t i = rows_[r].first; i < rows_[r].first + rows_[r].steps; ++i) {
        steps |= PanelMask{1} << panels_[i];
      }
      PlannedFeet& feet = plan[r];
      feet.leftArrow = codes_[static_cast<std::size_t>(after.left)];
      feet.rightArrow = codes_[static_cast<std::size_t>(after.right)];
      feet.leftHeld = after.leftHeld;
      feet.rightHeld = after.rightHeld;
      // A free foot on one of the row's arrows took it: no other foot could have.
      feet.leftMoved = !before.leftHeld && (steps >> after.left & 1) != 0;
      feet.rightMoved = !before.rightHeld && (steps >> after.right & 1) != 0;
      before = after;
    }
    return plan;
  }

  const GenerationRequest& request_;
  const FootCosts& costs_;
  std::vector<ArrowCode> codes_;  // panel index to arrow code, in order of first use
  int startLeft_ = 0;
  int startRight_ = 0;
  std::vector<Row> rows_;
  std::vector<std::uint8_t> panels_;  // the Notes of all rows, as panel indices
  std::vector<std::uint8_t> starts_;  // whether each is a freeze start
  // Per pair of panels (left × count + right).
  std::vector<double> distance_;
  std::vector<double> stance_;
  std::vector<double> angle_;
  std::vector<int> slot_;  // state key to its entry in the row being built, -1 for none
};

}  // namespace

std::optional<std::vector<PlannedFeet>> PlanFeet(const GenerationRequest& request, const Lane& lane,
                                                 const TimingMap& timing, const FootCosts& costs) {
  Planner planner(request, costs);
  if (!planner.Collect(lane, timing)) return std::nullopt;
  return planner.Solve();
}

}  // namespace pavaneflow
