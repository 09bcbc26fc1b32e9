#pragma once

namespace pavaneflow {

// The figure a dance is made for and measured on, in motion-file units with the model at rest:
// facing −z, its left side at +x, the floor at y = 0. The numbers are those of a standard-skeleton
// character about 20 units tall; a user's model fills them from its own bones.
struct BodyProportions {
  float centreY = 8.0f;  // the centre bone, about which the body turns
  float hipX = 0.9f;     // hip joints at x = ±hipX
  float hipY = 10.5f;
  float kneeForward = 0.15f;  // the knees stand this far in front of the hip–ankle line at rest
  float ankleX = 0.9f;        // ankles, and the foot IK bones on them, at x = ±ankleX
  float ankleY = 1.3f;
  float ankleZ = 0.0f;
  float thigh = 4.70f;
  float shin = 4.50f;
  float shoulderX = 1.7f;  // the upper arms' joints at x = ±shoulderX
  float shoulderY = 15.3f;
  float upperArmDropDegrees = 40.0f;    // the upper arms' rest pose below horizontal
  float upperArmForwardDegrees = 0.0f;  // and turned this far forwards (towards −z)

  double LegLength() const { return static_cast<double>(thigh) + static_cast<double>(shin); }
  // How large this body dances against the reference body: the hip joints' height above the
  // ankles over the reference's. The pad, the steps' lift, the crouch, the jumps and the groove
  // are that much larger. Exactly 1 for the reference body (9.2f is what 10.5f − 1.3f rounds to),
  // so that its dance stays as it was to the byte.
  double PadScale() const { return static_cast<double>((hipY - ankleY) / kReferenceLegHeight); }

  static constexpr float kReferenceLegHeight = 9.2f;
};

inline constexpr BodyProportions kReferenceBody{};

}  // namespace pavaneflow
