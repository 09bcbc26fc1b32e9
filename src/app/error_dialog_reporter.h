#pragma once

#include <functional>

#include <QPointer>
#include <QWidget>

#include "chart/error_reporter.h"

namespace pavaneflow {

// Shows the reader's error text in a modal ErrorDialog over `parent`, once the event loop takes
// over again: after the open that found the problems has ended and the window shows the file
// (at start-up, after the window has appeared). When game timing reads some of the problems the
// dialog offers to read the file again so; that button runs the action set here.
class ErrorDialogReporter : public ErrorReporter {
 public:
  explicit ErrorDialogReporter(QWidget* parent) : parent_(parent) {}

  // What "read again in game timing" does; without it the dialog shows no such button.
  void SetReadInGameTiming(std::function<void()> read) { readInGameTiming_ = std::move(read); }

  void ShowErrors(const std::u16string& errorText, std::int64_t gameReadable) override;

 private:
  QPointer<QWidget> parent_;
  std::function<void()> readInGameTiming_;
};

}  // namespace pavaneflow
