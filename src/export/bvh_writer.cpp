#include "export/bvh_writer.h"

#include <cmath>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "export/right_handed.h"
#include "vmd/byte_archive.h"

namespace pavaneflow {
namespace {

constexpr double kCentimetresPerUnit = kMetresPerUnit * 100.0;
constexpr double kPi = 3.14159265358979323846;
constexpr double kDegreesPerRadian = 180.0 / kPi;

constexpr std::array<std::string_view, kHumanoidBoneCount> kJointNames = {
    "Hips",      "Spine",       "Chest",       "Neck",          "Head",        "LeftShoulder",
    "LeftArm",   "LeftForeArm", "LeftHand",    "RightShoulder", "RightArm",    "RightForeArm",
    "RightHand", "LeftUpLeg",   "LeftLeg",     "LeftFoot",      "LeftToeBase", "RightUpLeg",
    "RightLeg",  "RightFoot",   "RightToeBase"};

// Where the last bones of the chains end, in the dance's units at the reference hips height: the
// top of the head, the finger tips, the toe tips.
constexpr double kReferenceHipsY = 11.25;
constexpr double kHeadEnd = 2.7;
constexpr double kHandEnd = 0.9;
constexpr double kToesEnd = 0.6;

// Angles about y, z and x, radians, with R = Ry(y) · Rz(z) · Rx(x).
struct Angles {
  double y = 0.0;
  double z = 0.0;
  double x = 0.0;
};

Angles AnglesOf(const Quaternion& q) {
  const double x = q[0], y = q[1], z = q[2], w = q[3];
  const double m00 = 1.0 - 2.0 * (y * y + z * z);
  const double m02 = 2.0 * (x * z + y * w);
  const double m10 = 2.0 * (x * y + z * w);
  const double m11 = 1.0 - 2.0 * (x * x + z * z);
  const double m12 = 2.0 * (y * z - x * w);
  const double m20 = 2.0 * (x * z - y * w);
  const double m22 = 1.0 - 2.0 * (x * x + y * y);
  Angles a;
  a.z = std::asin(std::clamp(m10, -1.0, 1.0));
  if (std::fabs(m10) < 1.0 - 1e-12) {
    a.y = std::atan2(-m20, m00);
    a.x = std::atan2(-m12, m11);
  } else {
    // Turned a quarter about z: y and x turn about one axis, so x takes none of it.
    a.y = std::atan2(m02, m22);
  }
  return a;
}

// `angle` moved by whole turns to within half a turn of `previous`.
double Near(double angle, double previous) {
  return angle - 2.0 * kPi * std::round((angle - previous) / (2.0 * kPi));
}

class Text {
 public:
  explicit Text(ByteArchive& archive) : archive_(archive) {}

  Text& operator<<(std::string_view text) {
    archive_.Write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    return *this;
  }
  // Six decimals, with a point whatever the locale, and the same digits on every platform: the
  // value is rounded to millionths as an integer. Tiny negative values print as "0.000000".
  Text& operator<<(double value) {
    const double millionths = std::round(value * 1e6);
    // A dance never reaches so far; a number that is none would break the file.
    if (!(std::fabs(millionths) < 1e18)) return *this << "0.000000";
    const auto whole = static_cast<std::int64_t>(millionths);
    const std::uint64_t size = static_cast<std::uint64_t>(whole < 0 ? -whole : whole);
    std::string digits = std::to_string(size / 1000000);
    const std::string fraction = std::to_string(1000000 + size % 1000000);
    digits += '.';
    digits.append(fraction, 1, 6);
    if (whole < 0) *this << "-";
    return *this << std::string_view(digits);
  }
  Text& operator<<(Vec3 v) { return *this << v.x << " " << v.y << " " << v.z; }

 private:
  ByteArchive& archive_;
};

class BvhWriter {
 public:
  BvhWriter(HumanoidBaker& baker, ByteArchive& archive)
      : baker_(baker), rest_(baker.Rest()), text_(archive) {
    const double scale = rest_.Joint(HumanoidBone::kHips).y / kReferenceHipsY;
    ends_ = {{HumanoidBone::kHead, {0.0, kHeadEnd * scale, 0.0}},
             {HumanoidBone::kLeftHand, {kHandEnd * scale, 0.0, 0.0}},
             {HumanoidBone::kRightHand, {-kHandEnd * scale, 0.0, 0.0}},
             {HumanoidBone::kLeftToes, {0.0, 0.0, -kToesEnd * scale}},
             {HumanoidBone::kRightToes, {0.0, 0.0, -kToesEnd * scale}}};
  }

  void Write() {
    text_ << "HIERARCHY\n";
    Joint(HumanoidBone::kHips, 0);
    const std::int32_t frames = baker_.FrameCount();
    text_ << "MOTION\nFrames: " << std::string_view(std::to_string(frames))
          << "\nFrame Time: 0.0333333\n";
    std::vector<Angles> previous(order_.size());
    for (std::int32_t f = 0; f < frames; ++f) {
      const HumanoidPose pose = baker_.Pose(f);
      text_ << ExportPoint(pose.hips, kCentimetresPerUnit);
      for (std::size_t i = 0; i < order_.size(); ++i) {
        Angles a = AnglesOf(ExportRotation(pose.Turn(order_[i])));
        a.y = Near(a.y, previous[i].y);
        a.x = Near(a.x, previous[i].x);
        previous[i] = a;
        text_ << " " << a.y * kDegreesPerRadian << " " << a.z * kDegreesPerRadian << " "
              << a.x * kDegreesPerRadian;
      }
      text_ << "\n";
    }
  }

 private:
  void Joint(HumanoidBone bone, int depth) {
    order_.push_back(bone);
    const std::string indent(static_cast<std::size_t>(depth), '\t');
    const std::string_view name = kJointNames[static_cast<std::size_t>(bone)];
    if (bone == HumanoidBone::kHips) {
      text_ << "ROOT " << name << "\n{\n\tOFFSET " << Vec3{} << "\n"
            << "\tCHANNELS 6 Xposition Yposition Zposition Yrotation Zrotation Xrotation\n";
    } else {
      text_ << indent << "JOINT " << name << "\n"
            << indent << "{\n"
            << indent << "\tOFFSET " << ExportPoint(rest_.Offset(bone), kCentimetresPerUnit) << "\n"
            << indent << "\tCHANNELS 3 Yrotation Zrotation Xrotation\n";
    }
    bool leaf = true;
    for (std::size_t i = 0; i < kHumanoidBoneCount; ++i) {
      const auto child = static_cast<HumanoidBone>(i);
      if (child == HumanoidBone::kHips || !rest_.Has(child) || rest_.Parent(child) != bone)
        continue;
      Joint(child, depth + 1);
      leaf = false;
    }
    if (leaf) {
      Vec3 end{};
      for (const auto& [b, offset] : ends_) {
        if (b == bone) end = offset;
      }
      text_ << indent << "\tEnd Site\n"
            << indent << "\t{\n"
            << indent << "\t\tOFFSET " << ExportPoint(end, kCentimetresPerUnit) << "\n"
            << indent << "\t}\n";
    }
    text_ << indent << "}\n";
  }

  HumanoidBaker& baker_;
  const HumanoidRest& rest_;
  Text text_;
  std::vector<std::pair<HumanoidBone, Vec3>> ends_;
  std::vector<HumanoidBone> order_;  // the joints in the order of their channels
};

}  // namespace

void WriteBvh(HumanoidBaker& baker, DurableFile& file) {
  ByteArchive archive(file, ByteArchive::Mode::kStore);
  BvhWriter(baker, archive).Write();
  archive.Flush();
  file.Commit();
}

}  // namespace pavaneflow
