#include "app/application.h"

#include <iostream>

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>

namespace pavaneflow {

void Application::SetNames() {
  QCoreApplication::setOrganizationName(
      QStringLiteral("アプリケーション ウィザードで生成されたローカル アプリケーション"));
  QCoreApplication::setApplicationName(QStringLiteral("Pavaneflow"));
  QCoreApplication::setApplicationVersion(QStringLiteral(PAVANEFLOW_VERSION));
}

Application::Application() {
  SetNames();

  // The interface is Japanese whatever the user's locale, and so are Qt's own dialogs.
  if (qtTranslator_.load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qtTranslator_);
  }

  QIcon icon;
  for (const int size : {16, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/icons/pavaneflow-%1.png").arg(size), QSize(size, size));
  }
  QApplication::setWindowIcon(icon);

  window_ = std::make_unique<MainWindow>(document_, fileDialogs_, messageBoxes_);
  errorReporter_ = std::make_unique<ErrorDialogReporter>(window_.get());
  errorReporter_->SetReadInGameTiming([this] { window_->ReadInGameTiming(); });
  document_.SetErrorReporter(errorReporter_.get());
}

Application::~Application() {
  document_.SetErrorReporter(nullptr);
}

void Application::InitInstance(const QString& path) {
  window_->NewDocument();
  window_->show();
  // A file that is gone (from a stale shortcut or the recent list of a file manager) is not worth
  // losing the window over: the user is told, and can open another.
  if (!path.isEmpty() && !window_->Open(path)) {
    std::cerr << "pavaneflow: " << window_->LastOpenError().toStdString() << '\n';
  }
}

}  // namespace pavaneflow
