#include "app/system_file_dialogs.h"

#include <QFileDialog>

namespace pavaneflow {

// The filters carry their real patterns after the shown name ("DWI ファイル (*.DWI) (*.[dD]...)");
// hiding the details shows the name alone.
QString SystemFileDialogs::getOpenFileName(QWidget* parent, const QString& filter) {
  return QFileDialog::getOpenFileName(parent, QString(), QString(), filter, nullptr,
                                      QFileDialog::HideNameFilterDetails);
}

QString SystemFileDialogs::getSaveFileName(QWidget* parent, const QString& filter,
                                           const QString& initialPath) {
  return QFileDialog::getSaveFileName(
      parent, QString(), initialPath, filter, nullptr,
      QFileDialog::HideNameFilterDetails | QFileDialog::DontConfirmOverwrite);
}

QString SystemFileDialogs::getExistingDirectory(QWidget* parent, const QString& title,
                                                const QString& initialFolder) {
  return QFileDialog::getExistingDirectory(parent, title, initialFolder);
}

}  // namespace pavaneflow
