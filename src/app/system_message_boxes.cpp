#include "app/system_message_boxes.h"

#include <QApplication>
#include <QMessageBox>

namespace pavaneflow {

void SystemMessageBoxes::critical(QWidget* parent, const QString& text) {
  QMessageBox::critical(parent, QApplication::applicationName(), text);
}

void SystemMessageBoxes::information(QWidget* parent, const QString& text) {
  QMessageBox::information(parent, QApplication::applicationName(), text);
}

bool SystemMessageBoxes::question(QWidget* parent, const QString& text) {
  // No is the default: Enter must not replace a file by accident.
  return QMessageBox::question(parent, QApplication::applicationName(), text,
                               QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace pavaneflow
