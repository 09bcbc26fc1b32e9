#pragma once

#include <memory>

#include <QString>
#include <QTranslator>

#include "app/error_dialog_reporter.h"
#include "app/main_window.h"
#include "app/system_file_dialogs.h"
#include "app/system_message_boxes.h"
#include "chart/dwi_document.h"

namespace pavaneflow {

// The application: its names (which also place the per-user settings), Qt's own Japanese texts,
// the icon, and the one document with its main window, which live until the application ends.
// Construct after QApplication.
class Application {
 public:
  Application();
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Shows the main window with `path` open (a chart file or a folder of songs), or an empty
  // document when `path` is empty. When it cannot be opened, the reason is shown in a message box
  // over the window and printed on standard error, and the window stays open and empty.
  void InitInstance(const QString& path);

  // The organisation and application names, which place the per-user settings, and the version.
  // Needs only a QCoreApplication.
  static void SetNames();

 private:
  QTranslator qtTranslator_;
  DWIDocument document_;
  SystemFileDialogs fileDialogs_;
  SystemMessageBoxes messageBoxes_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<ErrorDialogReporter> errorReporter_;
};

}  // namespace pavaneflow
