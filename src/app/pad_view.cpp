#include "app/pad_view.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPainterPath>

namespace pavaneflow {
namespace {

constexpr double kPanelHalf = 1.8;    // half a panel's side, in floor units
constexpr double kFloorMargin = 3.0;  // around the outer panels
constexpr double kGaugeRange = 3.0;   // the gauge shows heights from -3 to +3
constexpr int kGaugeWidth = 14;
const QColor kLeftColour(0x1f, 0x6f, 0xd1);
const QColor kRightColour(0xe8, 0x59, 0x0c);

// The rotation of the up arrow that gives a panel's arrow.
double ArrowTurn(ArrowCode arrow) {
  switch (arrow & 0xF) {
    case 0:
      return -90.0;
    case 1:
      return 180.0;
    case 3:
      return 90.0;
    default:
      return 0.0;
  }
}

// The direction the body faces on the floor, from the yaw in the centre's rotation: a model
// faces -z unturned.
QPointF Facing(const BonePose& centre) {
  const double yaw = 2.0 * std::atan2(centre.rotation[1], centre.rotation[3]);
  return {-std::sin(yaw), -std::cos(yaw)};
}

}  // namespace

PadView::PadView(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAccessibleName(QStringLiteral("パッド"));
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void PadView::SetLayout(const PadLayout& layout) {
  layout_ = layout;
  update();
}

void PadView::SetPose(const BonePose& leftFoot, const BonePose& rightFoot, const BonePose& centre) {
  left_ = leftFoot;
  right_ = rightFoot;
  centre_ = centre;
  update();
}

QSize PadView::sizeHint() const {
  return QSize(320, 240) * std::max(1.0, fontMetrics().height() / 16.0);
}

QSize PadView::minimumSizeHint() const {
  return {200, 150};
}

void PadView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), palette().base());
  if (layout_.Panels().empty()) return;

  double minX = 0.0;
  double maxX = 0.0;
  for (const auto& panel : layout_.Panels()) {
    minX = std::min(minX, static_cast<double>(panel.centre.x));
    maxX = std::max(maxX, static_cast<double>(panel.centre.x));
  }
  minX -= kFloorMargin;
  maxX += kFloorMargin;
  const double minZ = -4.0 - kFloorMargin;
  const double maxZ = 4.0 + kFloorMargin;
  const QRectF area = QRectF(rect()).adjusted(4, 4, -(kGaugeWidth + 12), -4);
  const double scale = std::min(area.width() / (maxX - minX), area.height() / (maxZ - minZ));
  const QPointF origin(area.center().x() - (minX + maxX) / 2 * scale,
                       area.center().y() + (minZ + maxZ) / 2 * scale);
  const auto toScreen = [&](double x, double z) {
    return QPointF(origin.x() + x * scale, origin.y() - z * scale);
  };

  // Panels, each with its arrow.
  QPainterPath arrow;
  arrow.moveTo(0, -0.9);
  arrow.lineTo(0.9, 0.1);
  arrow.lineTo(0.3, 0.1);
  arrow.lineTo(0.3, 0.9);
  arrow.lineTo(-0.3, 0.9);
  arrow.lineTo(-0.3, 0.1);
  arrow.lineTo(-0.9, 0.1);
  arrow.closeSubpath();
  for (const auto& panel : layout_.Panels()) {
    const QPointF c = toScreen(panel.centre.x, panel.centre.z);
    const double half = kPanelHalf * scale;
    painter.setPen(QPen(palette().mid().color(), 1.0));
    painter.setBrush(palette().alternateBase());
    painter.drawRoundedRect(QRectF(c.x() - half, c.y() - half, 2 * half, 2 * half), 4, 4);
    painter.save();
    painter.translate(c);
    painter.rotate(ArrowTurn(panel.arrow));
    painter.scale(scale, scale);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().mid());
    painter.drawPath(arrow);
    painter.restore();
  }

  // Footprints.
  const auto drawFoot = [&](const BonePose& foot, const QColor& colour, const QString& letter) {
    const QPointF c = toScreen(foot.position[0], foot.position[2]);
    // A lifted foot is drawn larger and lighter, as if nearer to the eye.
    const double lift = std::clamp(foot.position[1], 0.0, 3.0);
    const double rx = (0.7 + 0.1 * lift) * scale;
    QColor fill = colour;
    fill.setAlphaF(static_cast<float>(1.0 - 0.15 * lift));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawEllipse(c, rx, rx * 1.35);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRectF(c.x() - rx, c.y() - rx, 2 * rx, 2 * rx), Qt::AlignCenter, letter);
  };
  drawFoot(left_, kLeftColour, QStringLiteral("L"));
  drawFoot(right_, kRightColour, QStringLiteral("R"));

  // The centre and where the body faces.
  const QPointF centre = toScreen(centre_.position[0], centre_.position[2]);
  const QPointF facing = Facing(centre_);
  const QPointF tip(centre.x() + facing.x() * 1.6 * scale, centre.y() - facing.y() * 1.6 * scale);
  painter.setPen(QPen(palette().text().color(), 2.0));
  painter.drawLine(centre, tip);
  const QPointF side(-(tip.y() - centre.y()) * 0.25, (tip.x() - centre.x()) * 0.25);
  const QPointF back = centre + (tip - centre) * 0.7;
  painter.setBrush(palette().text());
  painter.drawPolygon(QPolygonF({tip, back + side, back - side}));
  painter.drawEllipse(centre, 0.35 * scale, 0.35 * scale);

  // The height gauge: 0 in the middle, the centre's height as a bar from there.
  const QRectF gauge(width() - kGaugeWidth - 6, 8, kGaugeWidth, height() - 16);
  painter.setPen(QPen(palette().mid().color(), 1.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(gauge);
  const double mid = gauge.center().y();
  const double h = std::clamp(centre_.position[1], -kGaugeRange, kGaugeRange);
  const double top = mid - h / kGaugeRange * (gauge.height() / 2);
  painter.setPen(Qt::NoPen);
  painter.setBrush(h >= 0 ? QColor(0x2f, 0x9e, 0x44) : QColor(0x86, 0x8e, 0x96));
  painter.drawRect(QRectF(QPointF(gauge.left() + 2, std::min(mid, top)),
                          QPointF(gauge.right() - 2, std::max(mid, top))));
  painter.setPen(QPen(palette().text().color(), 1.0));
  painter.drawLine(QPointF(gauge.left() - 3, mid), QPointF(gauge.right() + 3, mid));
}

}  // namespace pavaneflow
