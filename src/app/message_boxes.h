#pragma once

#include <QString>

class QWidget;

namespace pavaneflow {

// The message boxes the application shows; tests replace them so that nothing modal appears.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;

  // Reports a command that failed.
  virtual void critical(QWidget* parent, const QString& text) = 0;

  // Tells how a command went.
  virtual void information(QWidget* parent, const QString& text) = 0;

  // Asks a yes/no question; true for yes.
  virtual bool question(QWidget* parent, const QString& text) = 0;
};

}  // namespace pavaneflow
