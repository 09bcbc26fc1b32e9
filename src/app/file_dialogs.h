#pragma once

#include <QString>

class QWidget;

namespace pavaneflow {

// The file chooser dialogs the application asks for paths with. The real one shows the platform's
// dialogs; tests hand in answers without showing anything.
class FileDialogs {
 public:
  virtual ~FileDialogs() = default;

  // A path to open, or an empty string when the user cancelled. `filter` is in Qt's
  // "Name (patterns);;Name (patterns)" form.
  virtual QString getOpenFileName(QWidget* parent, const QString& filter) = 0;

  // A path to save to, or an empty string when the user cancelled; the dialog opens at
  // `initialPath` (its folder, with its name filled in). Neither adds an extension nor asks
  // before replacing a file: the caller does both, so they hold whatever the platform's dialog
  // does.
  virtual QString getSaveFileName(QWidget* parent, const QString& filter,
                                  const QString& initialPath) = 0;

  // A folder, or an empty string when the user cancelled; the dialog is titled `title` and opens
  // at `initialFolder`.
  virtual QString getExistingDirectory(QWidget* parent, const QString& title,
                                       const QString& initialFolder) = 0;
};

}  // namespace pavaneflow
