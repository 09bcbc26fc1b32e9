#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;

namespace pavaneflow {

// Lists the places of a chart file that could not be read, one numbered line each. The text is
// read-only but can be selected and copied; long lines scroll instead of wrapping.
class ErrorDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ErrorDialog(QWidget* parent = nullptr);

  // Shows `errorText`; its entries may be separated by "\r\n" or "\n".
  void SetErrorText(const QString& errorText);
  QString ErrorText() const;

 private:
  QPlainTextEdit* errorEdit_;
};

}  // namespace pavaneflow
