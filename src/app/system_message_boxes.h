#pragma once

#include "app/message_boxes.h"

namespace pavaneflow {

// QMessageBox, titled with the application's name.
class SystemMessageBoxes : public MessageBoxes {
 public:
  void critical(QWidget* parent, const QString& text) override;
  void information(QWidget* parent, const QString& text) override;
  bool question(QWidget* parent, const QString& text) override;
};

}  // namespace pavaneflow
