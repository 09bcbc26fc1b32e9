#include "base/portable_math.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace pavaneflow {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Within two units in the last place of the C library's answer: each is within one of the truth.
void ExpectNear(double actual, double expected, double angle) {
  const double unit = std::nextafter(std::fabs(expected), 1e300) - std::fabs(expected);
  EXPECT_LE(std::fabs(actual - expected), 2.0 * unit) << "at " << angle;
}

TEST(PortableMathTest, SineAndCosineFollowTheLibrary) {
  // Quarter turns and eighths (where a dance faces), their neighbours, tiny, negative and the
  // far angles an unwound turn can reach.
  for (int eighth = -64; eighth <= 64; ++eighth) {
    for (const double nudge : {0.0, 1e-9, -1e-9, 0.3, -0.05}) {
      const double angle = eighth * kPi / 4.0 + nudge;
      ExpectNear(portable::Sin(angle), std::sin(angle), angle);
      ExpectNear(portable::Cos(angle), std::cos(angle), angle);
    }
  }
  for (const double angle : {1e-300, -1e-20, 1e-5, 0.7853981633974483, 1000.123, -98765.4321}) {
    ExpectNear(portable::Sin(angle), std::sin(angle), angle);
    ExpectNear(portable::Cos(angle), std::cos(angle), angle);
  }
}

TEST(PortableMathTest, ArcTangentAndArcCosineFollowTheLibrary) {
  // Each of the arc tangent's ranges and their edges, both signs, and the far ends.
  for (const double x : {0.0, 1e-30, 0.1, 0.4374, 0.4375, 0.6, 0.6875, 1.0, 1.1875, 2.0, 2.4375,
                         10.0, 1e10, 1e300}) {
    ExpectNear(portable::Atan(x), std::atan(x), x);
    ExpectNear(portable::Atan(-x), std::atan(-x), -x);
  }
  for (int step = -100; step <= 100; ++step) {
    const double cosine = step / 100.0;
    ExpectNear(portable::Acos(cosine), std::acos(cosine), cosine);
  }
  EXPECT_EQ(portable::Atan(std::numeric_limits<double>::infinity()), kPi / 2.0);
  EXPECT_TRUE(std::isnan(portable::Atan(std::numeric_limits<double>::quiet_NaN())));
  EXPECT_TRUE(std::isnan(portable::Acos(1.0000001)));
}

TEST(PortableMathTest, ExactWhereTheTruthIsExact) {
  EXPECT_EQ(portable::Sin(0.0), 0.0);
  EXPECT_EQ(portable::Cos(0.0), 1.0);
  EXPECT_EQ(portable::Sin(kPi / 2.0), 1.0);
  EXPECT_EQ(portable::Cos(kPi), -1.0);
  EXPECT_EQ(portable::Acos(1.0), 0.0);
  EXPECT_EQ(portable::Acos(-1.0), kPi);
}

TEST(PortableMathTest, NotANumberForWhatIsNoAngle) {
  for (const double angle :
       {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_TRUE(std::isnan(portable::Sin(angle)));
    EXPECT_TRUE(std::isnan(portable::Cos(angle)));
  }
}

TEST(PortableMathTest, AnAngleAskedAgainHasTheSameBits) {
  // More angles than the remembered ones, asked in rounds, so that each comes back after others
  // took its place; both zeros too, whose answers are equal. Every other angle is first asked
  // for its cosine: the sine remembered with it is the same as one asked first.
  std::vector<double> angles{0.0, -0.0, kPi / 4.0, -kPi / 4.0, std::nextafter(kPi / 4.0, 1.0)};
  const std::size_t remembered = portable::detail::RecentSines{}.entries.size();
  for (std::size_t i = 1; i <= 3 * remembered; ++i) angles.push_back(i * 0.0013 - 2.0);
  for (int quarter = -6; quarter <= 6; ++quarter) angles.push_back(quarter * kPi / 2.0 + 0.2);
  std::vector<std::uint64_t> first;
  for (std::size_t i = 0; i < angles.size(); ++i) {
    const double angle = angles[i];
    const double cosine = i % 2 == 0 ? portable::Cos(angle) : 0.0;
    first.push_back(std::bit_cast<std::uint64_t>(portable::Sin(angle)));
    first.push_back(std::bit_cast<std::uint64_t>(i % 2 == 0 ? cosine : portable::Cos(angle)));
  }
  for (int round = 0; round < 3; ++round) {
    for (std::size_t i = angles.size(); i-- > 0;) {
      EXPECT_EQ(std::bit_cast<std::uint64_t>(portable::Sin(angles[i])), first[2 * i]) << angles[i];
      EXPECT_EQ(std::bit_cast<std::uint64_t>(portable::Cos(angles[i])), first[2 * i + 1])
          << angles[i];
    }
  }
  EXPECT_EQ(std::bit_cast<std::uint64_t>(portable::Sin(-0.0)), std::bit_cast<std::uint64_t>(0.0));
}

TEST(PortableMathTest, BothAtOnceHaveTheBitsOfEach) {
  // Asked of an angle not remembered, of one remembered by Sin or Cos, and again after enough
  // other angles to push it out: the same bits as Sin and Cos, both zeros, the quarters' edges,
  // far turns, and NaN for what is no angle.
  const std::vector<double> angles{0.0,
                                   -0.0,
                                   1e-300,
                                   -0.3,
                                   kPi / 4.0,
                                   kPi / 2,
                                   -kPi,
                                   3.0 * kPi / 4,
                                   1000.123,
                                   -98765.4321,
                                   1e22,
                                   std::numeric_limits<double>::infinity(),
                                   std::numeric_limits<double>::quiet_NaN()};
  auto bits = [](double x) { return std::bit_cast<std::uint64_t>(x); };
  const std::size_t remembered = portable::detail::RecentSines{}.entries.size();
  for (const double angle : angles) {
    for (const bool knownFirst : {false, true}) {
      for (std::size_t i = 0; i < 3 * remembered; ++i) portable::Sin(100.0 + i * 0.001);
      double sine = 0.0;
      double cosine = 0.0;
      if (knownFirst) {
        sine = portable::Sin(angle);
        cosine = portable::Cos(angle);
      }
      const portable::SineCosine both = portable::SinCos(angle);
      if (!knownFirst) {
        sine = portable::Sin(angle);
        cosine = portable::Cos(angle);
      }
      if (std::isnan(sine)) {
        EXPECT_TRUE(std::isnan(both.sine) && std::isnan(both.cosine)) << angle;
        continue;
      }
      EXPECT_EQ(bits(both.sine), bits(sine)) << angle << (knownFirst ? " known" : " new");
      EXPECT_EQ(bits(both.cosine), bits(cosine)) << angle << (knownFirst ? " known" : " new");
    }
  }
}

TEST(PortableMathTest, TurnRemainderIsTheLibrarysToTheBit) {
  // Within half a turn, its edges both ways, beyond, far beyond, both zeros and what is no angle.
  for (const double angle :
       {0.0, -0.0, 1e-300, 1.0, -3.0, kPi, -kPi, std::nextafter(kPi, 4.0),
        std::nextafter(-kPi, -4.0), std::nextafter(kPi, 0.0), 2.0 * kPi, 3.0 * kPi, -5.5, 7.0, 1e6,
        -123456.789, std::numeric_limits<double>::infinity()}) {
    const double expected = std::remainder(angle, 2.0 * kPi);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(portable::TurnRemainder(angle)),
              std::bit_cast<std::uint64_t>(expected))
        << angle;
  }
  EXPECT_TRUE(std::isnan(portable::TurnRemainder(std::numeric_limits<double>::quiet_NaN())));
}

TEST(PortableMathTest, HypotIsTheLength) {
  EXPECT_EQ(portable::Hypot(3.0, 4.0), 5.0);
  EXPECT_EQ(portable::Hypot(-3.0, 0.0), 3.0);
  EXPECT_EQ(portable::Hypot(0.0, 0.0), 0.0);
}

// The middle of two floor points, rounded to floats as a key stores it, then pushed aside: the
// shape of a swing's top. Out of line, as the planner's own is when the compiler keeps it so.
struct Point {
  float x = 0.0f;
  float z = 0.0f;
};
[[gnu::noipa]] Point MiddlePushed(Point a, Point b, double nx, double nz, double push) {
  const Point mid{static_cast<float>((static_cast<double>(a.x) + static_cast<double>(b.x)) * 0.5),
                  static_cast<float>((static_cast<double>(a.z) + static_cast<double>(b.z)) * 0.5)};
  return {static_cast<float>(static_cast<double>(mid.x) + nx * push),
          static_cast<float>(static_cast<double>(mid.z) + nz * push)};
}

TEST(PortableMathTest, ARoundingToFloatIsKept) {
  // -3.3f and 8.7f average to a tie half way between two floats; rounded (to even), the push
  // lands a float lower than from the unrounded middle. A vectorizing compiler once carried
  // the unrounded double on, and the page and the command line wrote different keys.
  const Point pushed =
      MiddlePushed({-3.3f, 0.0f}, {8.7f, 0.0f}, -0x1.777a5cffffffep-25, -1.0, 0x1.999999999999ap+1);
  EXPECT_EQ(pushed.x, 0x1.599996p+1f);
  EXPECT_EQ(pushed.z, -0x1.99999ap+1f);
}

}  // namespace
}  // namespace pavaneflow
