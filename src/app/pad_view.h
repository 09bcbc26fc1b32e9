#pragma once

#include <array>

#include <QWidget>

#include "motion/pad/pad_layout.h"
#include "vmd/bone_track.h"

namespace pavaneflow {

// The pad seen from above, up arrow at the top: its panels, both feet as footprints at their IK
// positions (left blue, right orange, lettered), the centre with an arrow for the body's facing,
// and the centre's height as a gauge at the side.
class PadView : public QWidget {
  Q_OBJECT

 public:
  explicit PadView(QWidget* parent = nullptr);

  void SetLayout(const PadLayout& layout);
  // The bones' poses at the moment shown.
  void SetPose(const BonePose& leftFoot, const BonePose& rightFoot, const BonePose& centre);

  const BonePose& LeftFoot() const { return left_; }
  const BonePose& RightFoot() const { return right_; }
  const BonePose& Centre() const { return centre_; }
  std::size_t PanelCount() const { return layout_.Panels().size(); }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  PadLayout layout_;
  BonePose left_;
  BonePose right_;
  BonePose centre_;
};

}  // namespace pavaneflow
