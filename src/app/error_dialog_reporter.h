#pragma once

#include "chart/error_reporter.h"

class QWidget;

namespace pavaneflow {

// Shows the reader's error text in a modal ErrorDialog over `parent`.
class ErrorDialogReporter : public ErrorReporter {
 public:
  explicit ErrorDialogReporter(QWidget* parent) : parent_(parent) {}

  void ShowErrors(const std::u16string& errorText) override;

 private:
  QWidget* parent_;
};

}  // namespace pavaneflow
