#pragma once

#include <QDialog>
#include <QString>

namespace pavaneflow {

// The application's name, version, author and licence, the values aligned on a tab, and the
// project's web address as a link that opens in the browser.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);

  // The lines shown: "Pavaneflow", "バージョン:\t<version>", "作成者:\t<author>",
  // "ライセンス:\tMIT".
  static QString AboutText();
  // The project's web address.
  static QString WebAddress();
};

}  // namespace pavaneflow
