// Renders the main window with a file loaded, its preview at a moment of the dance, into a PNG,
// for the documentation:
//   app_screenshot FILE.dwi OUTPUT.png
// Run it with QT_QPA_PLATFORM=offscreen; the window is grabbed without the desktop's frame.

#include <iostream>

#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "app/dance_preview.h"
#include "app/main_window.h"
#include "app/system_file_dialogs.h"
#include "app/system_message_boxes.h"
#include "chart/dwi_document.h"

constexpr double kPreviewSeconds = 6.4;

int main(int argc, char* argv[]) {
  // Opening a file adds it to the recent-file list; keep that out of the user's settings.
  QTemporaryDir home;
  qputenv("HOME", QFile::encodeName(home.path()));
  QStandardPaths::setTestModeEnabled(true);

  QApplication application(argc, argv);
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() != 3) {
    std::cerr << "usage: app_screenshot FILE.dwi OUTPUT.png\n";
    return 2;
  }
  pavaneflow::DWIDocument document;
  pavaneflow::SystemFileDialogs fileDialogs;
  pavaneflow::SystemMessageBoxes messageBoxes;
  pavaneflow::MainWindow window(document, fileDialogs, messageBoxes);
  if (!window.OpenDocument(arguments[1])) return 1;
  window.show();
  // A moment with both feet apart and the body turned, for the preview beside the form.
  window.Preview()->Seek(kPreviewSeconds);
  QApplication::processEvents();
  if (!window.grab().save(arguments[2])) {
    std::cerr << "app_screenshot: cannot write " << arguments[2].toStdString() << '\n';
    return 1;
  }
  return 0;
}
