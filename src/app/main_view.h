#pragma once

#include <memory>

#include <QString>
#include <QWidget>

#include "base/document.h"

class QButtonGroup;

namespace Ui {
class MainView;
}

namespace pavaneflow {

class FileDialogs;
class MessageBoxes;
class SongDocument;

// The main window's form: the song's title, artist and BPM, its charts, the player side, the
// twist option, the planned-footwork option (remembered in the settings) and the Generate button.
// It keeps no state beyond its controls: everything shown is refilled from the document whenever
// the document changes. Registers itself as a view of the document for its lifetime; the document
// must outlive it.
class MainView : public QWidget, public View {
  Q_OBJECT

 public:
  MainView(SongDocument& document, FileDialogs& fileDialogs, MessageBoxes& messageBoxes,
           QWidget* parent = nullptr);
  ~MainView() override;

  // After a document was created or opened into the view.
  void OnInitialUpdate();
  // Refills the fields and the chart list, selects the first chart and checks the twist box. The
  // player radios keep their state.
  void OnUpdate() override;
  // Enables the player radios for a two-player chart, and Generate when a chart is selected and,
  // for a two-player chart, a player is chosen.
  void UpdateGenerateEnabling();
  // Asks for a path and writes the motion of the selected chart there. A failure is shown in a
  // message box; success shows nothing.
  void OnGenerate();

 private:
  // The selected row of the chart list; -1 for none.
  int SelectedIndex() const;
  // The path to write to, with the default extension and confirmed if it exists; empty when the
  // user cancelled.
  QString ChooseSavePath();

  SongDocument& document_;
  FileDialogs& fileDialogs_;
  MessageBoxes& messageBoxes_;
  std::unique_ptr<Ui::MainView> ui_;
  QButtonGroup* playerGroup_;
};

}  // namespace pavaneflow
