#pragma once

#include "app/file_dialogs.h"

namespace pavaneflow {

// The platform's open, save and folder dialogs; the first two titled by Qt's own (translated)
// default captions.
class SystemFileDialogs : public FileDialogs {
 public:
  QString getOpenFileName(QWidget* parent, const QString& filter) override;
  QString getSaveFileName(QWidget* parent, const QString& filter,
                          const QString& initialPath) override;
  QString getExistingDirectory(QWidget* parent, const QString& title,
                               const QString& initialFolder) override;
};

}  // namespace pavaneflow
