#pragma once

#include <QDialog>
#include <QString>

namespace pavaneflow {

// The application's name, version and author, the values aligned on a tab.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);

  // The three lines shown: "Pavaneflow", "バージョン:\t<version>", "作成者:\t<author>".
  static QString AboutText();
};

}  // namespace pavaneflow
