#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QString>
#include <QWidget>

#include "base/document.h"
#include "export/export_format.h"
#include "motion/setup/dance_request.h"
#include "motion/setup/dance_setup.h"

class QButtonGroup;

namespace Ui {
class MainView;
}

namespace pavaneflow {

class DancePreview;
class FileDialogs;
class MessageBoxes;
class SongDocument;

// The main window's form: the song's title, artist and BPM, its charts, the player side, the
// twist, timing, planned-footwork and natural-motion options and the user's model (the last four
// remembered in the settings), and the Generate button. It keeps no state beyond its controls,
// each the one place its choice is held, and the model read for its label: everything shown is
// refilled from the document whenever the document changes. Registers itself as a view of the
// document for its lifetime; the document must outlive it.
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
  // Enables the player radios for a two-player chart, Generate when a chart is selected and, for a
  // two-player chart, a player is chosen, and "すべての譜面を生成..." when the song has a chart. On
  // any other chart the radios show no choice; the one made is shown again on the next two-player
  // chart.
  void UpdateGenerateEnabling();
  // Asks for a path and writes the motion of the selected chart there. The dialog starts in the
  // folder of the last save (else the DWI file's) with "<stem>_<chart name>.vmd". A failure is
  // shown in a message box; success is told in a status message.
  void OnGenerate();

  // The "ゲームと同じタイミング" box.
  bool GameTimingChosen() const;
  // Checks that box as the user's click does: kept in the settings, the file read again and the
  // chosen chart kept.
  void ChooseGameTiming();

  // Asks for a PMX or VRM model and fits the natural motion to it from now on (remembered in
  // the settings). A model that cannot be read is told in a message box naming the file and the
  // cause, and the model chosen before stays.
  void ChooseModel();
  // Dances for the reference body again.
  void ClearModel();

  // The dance the form chooses as it stands: the selected chart (-1 for none), the player, the
  // twist and every other option of the form.
  DanceSetup Setup() const;
  // What Generate hands to the synthesiser for Setup(), made the one way every front end makes
  // it, so that the preview always shows what Generate writes (a natural dance turned to the
  // screen, as the pad is drawn). No Score when no chart is selected. The document must not be
  // read again while the request is in use.
  DanceRequest BuildRequest() const;

  // The file the document was opened from; empty for a new document.
  void SetDocumentPath(const QString& path) { documentPath_ = path; }
  // The pane that shows the dance of BuildRequest(), refreshed whenever the form changes. Not
  // owned; may be null.
  void SetPreview(DancePreview* preview);

 signals:
  void statusMessage(const QString& text);
  // The user toggled "ゲームと同じタイミング" (already kept in the settings): the open file is to
  // be read again in Setup()'s timing before this returns. The chosen chart, where it still exists,
  // and the twist box are kept.
  void GameTimingToggled(bool on);
  // "すべての譜面を生成..." was pressed.
  void GenerateAllRequested();

 private:
  // The selected row of the chart list; -1 for none.
  int SelectedIndex() const;
  // The timing box applies to DWI files only: with a simfile open it is disabled and says why.
  void UpdateTimingBox();
  // Checks the remembered player on a two-player chart, clears both radios on any other.
  void ShowPlayerChoice(bool twoPlayers);
  void OnGameTimingClicked(bool on);
  // The path to write to, with its format's extension and confirmed if it exists, and the format
  // (the filter chosen, unless the name ends in another format's extension); empty when the
  // user cancelled.
  QString ChooseSavePath(const GenerationRequest& request, ExportFormat& format);
  // Shows the model's name (or the reference body, or `problem` when a kept model could not be
  // read) and enables its buttons while the natural motion is chosen, the only one it fits.
  void ShowModel(const QString& problem = {});
  // Refreshes the preview once control changes have settled.
  void SchedulePreview();
  void RefreshPreview();

  SongDocument& document_;
  FileDialogs& fileDialogs_;
  MessageBoxes& messageBoxes_;
  std::unique_ptr<Ui::MainView> ui_;
  QButtonGroup* playerGroup_;
  // The player last chosen on a two-player chart (0 for 1P, 1 for 2P); -1 before any choice.
  int chosenPlayer_ = -1;
  QString documentPath_;
  // The timing box's own tooltip, shown while it applies.
  QString timingToolTip_;
  std::optional<DanceModel> model_;
  DancePreview* preview_ = nullptr;
  bool previewScheduled_ = false;
};

}  // namespace pavaneflow
