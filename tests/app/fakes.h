#pragma once

#include <QString>
#include <QStringList>

#include "app/file_dialogs.h"
#include "app/message_boxes.h"

namespace pavaneflow::testing {

// Answers the file dialogs from queues, front first; an empty queue answers as a cancel.
class FakeFileDialogs : public FileDialogs {
 public:
  QString getOpenFileName(QWidget*, const QString& filter) override {
    openFilters += filter;
    return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
  }
  QString getSaveFileName(QWidget*, const QString& filter, const QString& initialPath) override {
    saveFilters += filter;
    saveInitialPaths += initialPath;
    return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
  }

  QString getExistingDirectory(QWidget*, const QString&, const QString& initialFolder) override {
    folderInitialPaths += initialFolder;
    return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
  }

  QStringList openAnswers;
  QStringList saveAnswers;
  QStringList folderAnswers;
  QStringList openFilters;  // one per call
  QStringList saveFilters;
  QStringList saveInitialPaths;
  QStringList folderInitialPaths;
};

// Records the messages; every question gets `answer`.
class FakeMessageBoxes : public MessageBoxes {
 public:
  void critical(QWidget*, const QString& text) override { criticals += text; }
  void information(QWidget*, const QString& text) override { informations += text; }
  bool question(QWidget*, const QString& text) override {
    questions += text;
    return answer;
  }

  QStringList criticals;
  QStringList informations;
  QStringList questions;
  bool answer = true;
};

}  // namespace pavaneflow::testing
