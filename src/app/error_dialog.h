#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;

namespace pavaneflow {

// Lists the places of a chart file that could not be read, one numbered line each. The text is
// read-only but can be selected and copied; long lines scroll instead of wrapping. Under the list,
// when game timing would read some of them, a line says so beside a button that asks for that.
class ErrorDialog : public QDialog {
  Q_OBJECT

 public:
  // The dialog's result when the user asked to read the file again in game timing.
  static constexpr int kReadInGameTiming = 2;

  explicit ErrorDialog(QWidget* parent = nullptr);

  // Shows `errorText`; its entries may be separated by "\r\n" or "\n".
  void SetErrorText(const QString& errorText);
  QString ErrorText() const;
  // Shows the game-timing line and button when `count` (of the places listed) is above 0.
  void SetGameTimingHint(qint64 count);

 private:
  QPlainTextEdit* errorEdit_;
  QWidget* hint_;
  QLabel* hintLabel_;
};

}  // namespace pavaneflow
