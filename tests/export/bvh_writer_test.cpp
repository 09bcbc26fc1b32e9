#include "export/bvh_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "base/memory_file.h"
#include "dance_keys.h"
#include "export/reference_skeleton.h"
#include "export/right_handed.h"
#include "humanoid_joints.h"

namespace pavaneflow {
namespace {

std::string Written(HumanoidBaker& baker) {
  MemoryFile file;
  WriteBvh(baker, file);
  return {file.Bytes().begin(), file.Bytes().end()};
}

// A BVH file read back as a reader without IK reads it.
struct BvhJoint {
  std::string name;
  int parent = -1;
  Vec3 offset;
  std::vector<std::string> channels;
};

struct Bvh {
  std::vector<BvhJoint> joints;
  int frames = 0;
  std::string frameTime;
  std::vector<std::vector<double>> values;  // a row a frame
};

Bvh Read(const std::string& text) {
  Bvh bvh;
  // Read as any BVH reader reads it: a point before the decimals, whatever the test's locale.
  std::istringstream in(text);
  in.imbue(std::locale::classic());
  std::string word;
  std::vector<int> open;  // the joints whose braces are open; -1 for an end site
  int pending = -1;
  in >> word;
  EXPECT_EQ(word, "HIERARCHY");
  while (in >> word && word != "MOTION") {
    if (word == "ROOT" || word == "JOINT") {
      BvhJoint joint;
      in >> joint.name;
      joint.parent = open.empty() ? -1 : open.back();
      bvh.joints.push_back(joint);
      pending = static_cast<int>(bvh.joints.size()) - 1;
    } else if (word == "End") {
      in >> word;  // Site
      pending = -1;
    } else if (word == "{") {
      open.push_back(pending);
    } else if (word == "}") {
      open.pop_back();
    } else if (word == "OFFSET") {
      Vec3 offset;
      in >> offset.x >> offset.y >> offset.z;
      if (open.back() >= 0) bvh.joints[static_cast<std::size_t>(open.back())].offset = offset;
    } else if (word == "CHANNELS") {
      int count = 0;
      in >> count;
      for (int i = 0; i < count; ++i) {
        in >> word;
        bvh.joints[static_cast<std::size_t>(open.back())].channels.push_back(word);
      }
    }
  }
  in >> word >> bvh.frames;  // Frames:
  std::getline(in, word);
  std::getline(in, bvh.frameTime);
  for (std::string line; std::getline(in, line);) {
    std::istringstream row(line);
    row.imbue(std::locale::classic());
    bvh.values.emplace_back();
    for (double v; row >> v;) bvh.values.back().push_back(v);
  }
  return bvh;
}

Quaternion ChannelTurn(const std::string& channel, double degrees) {
  const Vec3 axis = channel == "Xrotation"   ? Vec3{1.0, 0.0, 0.0}
                    : channel == "Yrotation" ? Vec3{0.0, 1.0, 0.0}
                                             : Vec3{0.0, 0.0, 1.0};
  return AxisAngle(axis, degrees * kDegree);
}

// Each joint's position at `frame`: the channels in the order written, each rotation applied
// inside the one before it, as the readers do.
std::vector<Vec3> Positions(const Bvh& bvh, std::size_t frame) {
  std::vector<Vec3> at(bvh.joints.size());
  std::vector<Quaternion> turn(bvh.joints.size(), Quaternion{0.0, 0.0, 0.0, 1.0});
  std::size_t next = 0;
  for (std::size_t j = 0; j < bvh.joints.size(); ++j) {
    const BvhJoint& joint = bvh.joints[j];
    Vec3 moved;
    Quaternion local{0.0, 0.0, 0.0, 1.0};
    for (const std::string& channel : joint.channels) {
      const double v = bvh.values[frame][next++];
      if (channel == "Xposition") moved.x = v;
      if (channel == "Yposition") moved.y = v;
      if (channel == "Zposition") moved.z = v;
      if (channel.ends_with("rotation")) local = Compose(local, ChannelTurn(channel, v));
    }
    if (joint.parent < 0) {
      at[j] = joint.offset + moved;
      turn[j] = local;
    } else {
      const auto p = static_cast<std::size_t>(joint.parent);
      at[j] = at[p] + Rotate(turn[p], joint.offset);
      turn[j] = Compose(turn[p], local);
    }
  }
  EXPECT_EQ(next, bvh.values[frame].size());
  return at;
}

constexpr const char* kJointNames[] = {
    "Hips",      "Spine",       "Chest",       "Neck",          "Head",        "LeftShoulder",
    "LeftArm",   "LeftForeArm", "LeftHand",    "RightShoulder", "RightArm",    "RightForeArm",
    "RightHand", "LeftUpLeg",   "LeftLeg",     "LeftFoot",      "LeftToeBase", "RightUpLeg",
    "RightLeg",  "RightFoot",   "RightToeBase"};

TEST(WriteBvh, WritesTheHierarchyAtRestAndAbsoluteHipsPositions) {
  MotionDocument dance;
  AddSmallDance(dance);
  HumanoidBaker baker(dance, ReferenceSkeleton(), kReferenceBody);
  const Bvh bvh = Read(Written(baker));
  ASSERT_EQ(bvh.joints.size(), kHumanoidBoneCount);
  EXPECT_EQ(bvh.joints[0].name, "Hips");
  EXPECT_EQ(bvh.joints[0].parent, -1);
  EXPECT_EQ(Length(bvh.joints[0].offset), 0.0);
  EXPECT_EQ(bvh.joints[0].channels,
            (std::vector<std::string>{"Xposition", "Yposition", "Zposition", "Yrotation",
                                      "Zrotation", "Xrotation"}));
  for (const BvhJoint& joint : bvh.joints) {
    bool known = false;
    for (const char* name : kJointNames) known = known || joint.name == name;
    EXPECT_TRUE(known) << joint.name;
    if (joint.parent >= 0) {
      EXPECT_EQ(joint.channels, (std::vector<std::string>{"Yrotation", "Zrotation", "Xrotation"}));
    }
  }
  EXPECT_EQ(bvh.frames, 13);
  EXPECT_EQ(bvh.frameTime, "Frame Time: 0.0333333");
  ASSERT_EQ(bvh.values.size(), 13u);
  // Centimetres, facing +z: the left leg at +x, the toes in front.
  EXPECT_NEAR(bvh.joints[13].offset.x, 7.2, 1e-6);
  EXPECT_NEAR(bvh.joints[16].offset.z, 12.0, 1e-6);
}

// Read back with the channel order it names, every joint stands where the baker put it.
TEST(WriteBvh, ReadBackPosesEveryJointAsBaked) {
  MotionDocument dance;
  AddSmallDance(dance);
  HumanoidBaker baker(dance, ReferenceSkeleton(), kReferenceBody);
  const Bvh bvh = Read(Written(baker));
  for (std::int32_t frame = 0; frame < baker.FrameCount(); ++frame) {
    SCOPED_TRACE(frame);
    const PosedFigure expected = Pose(baker.Rest(), baker.Pose(frame));
    const std::vector<Vec3> at = Positions(bvh, static_cast<std::size_t>(frame));
    for (std::size_t j = 0; j < bvh.joints.size(); ++j) {
      std::size_t bone = 0;
      while (kJointNames[bone] != bvh.joints[j].name) ++bone;
      // Six decimals of centimetres and degrees: within a micrometre.
      EXPECT_NEAR(Distance(at[j], ExportPoint(expected.joints[bone], kMetresPerUnit * 100.0)), 0.0,
                  1e-4)
          << bvh.joints[j].name;
    }
  }
}

TEST(WriteBvh, KeepsEachAngleWithinHalfATurnOfTheFrameBefore) {
  // The hips turn round once and a half: no angle may jump back by a whole turn on the way.
  MotionDocument dance;
  AddKeys(dance, std::array<DanceKey, 4>{{{kCentreBone, 0, {}, Yaw(0.0)},
                                          {kCentreBone, 10, {}, Yaw(170.0)},
                                          {kCentreBone, 20, {}, Yaw(340.0)},
                                          {kCentreBone, 30, {}, Yaw(510.0)}}});
  HumanoidBaker baker(dance, ReferenceSkeleton(), kReferenceBody);
  const Bvh bvh = Read(Written(baker));
  for (std::size_t f = 1; f < bvh.values.size(); ++f) {
    for (std::size_t c = 3; c < bvh.values[f].size(); ++c) {
      EXPECT_LT(std::fabs(bvh.values[f][c] - bvh.values[f - 1][c]), 30.0) << f << ", " << c;
    }
  }
  // Turning left in the dance's axes is turning right in the file's: y changes its sense.
  EXPECT_NEAR(bvh.values.back()[3], -510.0, 1e-3);
}

}  // namespace
}  // namespace pavaneflow
