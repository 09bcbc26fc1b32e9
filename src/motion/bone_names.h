#pragma once

#include <string_view>

namespace pavaneflow {

// The bones the dance moves, named as the standard character models name them (IK in full-width
// letters).
inline constexpr std::u16string_view kCentreBone = u"センター";
inline constexpr std::u16string_view kLeftFootIkBone = u"左足ＩＫ";
inline constexpr std::u16string_view kRightFootIkBone = u"右足ＩＫ";
inline constexpr std::u16string_view kLeftLegBone = u"左足";
inline constexpr std::u16string_view kRightLegBone = u"右足";
inline constexpr std::u16string_view kUpperBodyBone = u"上半身";
inline constexpr std::u16string_view kNeckBone = u"首";
inline constexpr std::u16string_view kLeftArmBone = u"左腕";
inline constexpr std::u16string_view kRightArmBone = u"右腕";
inline constexpr std::u16string_view kLeftElbowBone = u"左ひじ";
inline constexpr std::u16string_view kRightElbowBone = u"右ひじ";

// The model the motion is made for.
inline constexpr std::u16string_view kModelName = u"初音ミク";

}  // namespace pavaneflow
