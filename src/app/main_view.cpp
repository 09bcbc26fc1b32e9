#include "app/main_view.h"

#include <charconv>
#include <exception>
#include <iterator>
#include <stdexcept>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPalette>
#include <QSettings>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QTimer>

#include "app/dance_preview.h"
#include "app/dance_setup_settings.h"
#include "app/file_dialogs.h"
#include "app/file_filter.h"
#include "app/message_boxes.h"
#include "app/model_problem_text.h"
#include "app/native_path.h"
#include "app/os_reason.h"
#include "base/file_error.h"
#include "chart/song_document.h"
#include "export/dance_figure.h"
#include "export/export_dance.h"
#include "motion/generation_request.h"
#include "motion/setup/output_name.h"
#include "ui_main_view.h"

namespace pavaneflow {

namespace {

// One filter for each file format, in the order of ExportFormat, then every file.
const QString kMotionFileFilter = QStringLiteral(
    "VMD モーション(*.VMD)|*.vmd|VRM アニメーション(*.VRMA)|*.vrma|BVH モーション(*.BVH)|*.bvh|"
    "すべてのファイル(*.*)|*.*");
constexpr ExportFormat kFormats[] = {ExportFormat::kVmd, ExportFormat::kVrma, ExportFormat::kBvh};
const QString kLastSaveFolderKey = QStringLiteral("Settings/LastSaveFolder");
const QString kModelFileFilter =
    QStringLiteral("モデル (*.PMX;*.VRM)|*.PMX;*.VRM|すべてのファイル (*.*)|*.*");

const Score* ScoreAt(const SongDocument& document, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= document.scores.size()) return nullptr;
  return document.scores[static_cast<std::size_t>(index)].get();
}

// "%3.3f" with a decimal point whatever the locale; unlike QString::number it keeps the sign of
// a negative zero, as printf does.
QString FormatBpm(float bpm) {
  // Wide enough for the largest float in fixed notation.
  char digits[64];
  const auto end = std::to_chars(digits, digits + sizeof digits, static_cast<double>(bpm),
                                 std::chars_format::fixed, 3)
                       .ptr;
  return QString::fromLatin1(digits, end - digits);
}

// `text` as rich text, which a tooltip wraps at a readable width instead of running it across the
// screen on one line.
QString WrappingToolTip(const QString& text) {
  return text.isEmpty() || Qt::mightBeRichText(text)
             ? text
             : QStringLiteral("<qt>") + text.toHtmlEscaped() + QStringLiteral("</qt>");
}

}  // namespace

MainView::MainView(SongDocument& document, FileDialogs& fileDialogs, MessageBoxes& messageBoxes,
                   QWidget* parent)
    : QWidget(parent),
      document_(document),
      fileDialogs_(fileDialogs),
      messageBoxes_(messageBoxes),
      ui_(std::make_unique<Ui::MainView>()),
      playerGroup_(new QButtonGroup(this)) {
  ui_->setupUi(this);
  for (QWidget* widget : findChildren<QWidget*>()) {
    widget->setToolTip(WrappingToolTip(widget->toolTip()));
  }
  timingToolTip_ = ui_->gameTimingCheck->toolTip();
  // The song's fields can be selected and copied, not edited: they look like it.
  for (QLineEdit* field : findChildren<QLineEdit*>()) {
    if (!field->isReadOnly()) continue;
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    field->setPalette(palette);
  }
  // Both radios start unchecked and, once one was chosen, one of them stays checked.
  playerGroup_->setExclusive(true);
  playerGroup_->addButton(ui_->player1Radio, 0);
  playerGroup_->addButton(ui_->player2Radio, 1);

  connect(ui_->chartList, &QListWidget::itemSelectionChanged, this,
          &MainView::UpdateGenerateEnabling);
  connect(ui_->player1Radio, &QRadioButton::clicked, this, &MainView::UpdateGenerateEnabling);
  connect(ui_->player2Radio, &QRadioButton::clicked, this, &MainView::UpdateGenerateEnabling);
  connect(ui_->generateButton, &QPushButton::clicked, this, &MainView::OnGenerate);
  connect(ui_->generateAllButton, &QPushButton::clicked, this, &MainView::GenerateAllRequested);
  connect(ui_->gameTimingCheck, &QCheckBox::clicked, this, &MainView::OnGameTimingClicked);
  // Every option of the form changes the dance: any box or radio toggled, any chart chosen.
  connect(ui_->chartList, &QListWidget::itemSelectionChanged, this, &MainView::SchedulePreview);
  for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
    if (button->isCheckable()) {
      connect(button, &QAbstractButton::toggled, this, &MainView::SchedulePreview);
    }
  }

  QString modelProblem;
  const DanceSetup kept = LoadDanceSetup(&modelProblem);
  model_ = kept.model;
  ui_->gameTimingCheck->setChecked(kept.timing == ChartTiming::kGame);
  ui_->plannedFeetCheck->setChecked(kept.feet == FeetChoice::kPlanned);
  ui_->naturalMotionCheck->setChecked(kept.motion == MotionChoice::kNatural);
  connect(ui_->plannedFeetCheck, &QCheckBox::toggled, this, [this] { SaveDanceSetup(Setup()); });
  connect(ui_->naturalMotionCheck, &QCheckBox::toggled, this, [this] { SaveDanceSetup(Setup()); });
  connect(ui_->naturalMotionCheck, &QCheckBox::toggled, this, [this] { ShowModel(); });
  connect(ui_->modelButton, &QPushButton::clicked, this, &MainView::ChooseModel);
  connect(ui_->modelClearButton, &QToolButton::clicked, this, &MainView::ClearModel);
  ShowModel(modelProblem);

  document_.AddView(this);
}

MainView::~MainView() {
  document_.RemoveView(this);
}

void MainView::OnInitialUpdate() {
  OnUpdate();
  RefreshPreview();
}

void MainView::OnUpdate() {
  ui_->titleEdit->setText(QString::fromStdU16String(document_.title));
  ui_->artistEdit->setText(QString::fromStdU16String(document_.artist));
  ui_->bpmEdit->setText(FormatBpm(document_.bpm));

  {
    const QSignalBlocker blocker(ui_->chartList);
    ui_->chartList->clear();
    for (const auto& score : document_.scores) {
      // The meter tells charts of one name apart and says how hard each is.
      ui_->chartList->addItem(QStringLiteral("%1 (%2)")
                                  .arg(QString::fromStdU16String(score->GetName()))
                                  .arg(score->meter));
    }
    if (ui_->chartList->count() > 0) {
      ui_->chartList->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    }
  }

  ui_->twistCheck->setChecked(true);
  UpdateTimingBox();
  UpdateGenerateEnabling();
  // The document refreshes its views after every header tag read: the dance is made once they
  // settle.
  SchedulePreview();
}

void MainView::UpdateTimingBox() {
  const bool applies = document_.simfileTiming == nullptr;
  ui_->gameTimingCheck->setEnabled(applies);
  ui_->gameTimingCheck->setToolTip(
      applies ? timingToolTip_
              : WrappingToolTip(QStringLiteral(
                    ".sm と .ssc のファイルはいつもダンスゲームと同じタイミングで読むので、この"
                    "設定は使いません。DWI ファイルを開いたときに使います。")));
}

void MainView::UpdateGenerateEnabling() {
  ui_->generateAllButton->setEnabled(!document_.scores.empty() && document_.HasUsableTempo());
  const Score* score = ScoreAt(document_, SelectedIndex());
  if (score == nullptr) {
    ui_->player1Radio->setEnabled(false);
    ui_->player2Radio->setEnabled(false);
    ui_->generateButton->setEnabled(false);
    return;
  }
  const bool twoPlayers = score->mode == kCouple;
  ShowPlayerChoice(twoPlayers);
  ui_->player1Radio->setEnabled(twoPlayers);
  ui_->player2Radio->setEnabled(twoPlayers);
  ui_->generateButton->setEnabled(!twoPlayers || ui_->player1Radio->isChecked() ||
                                  ui_->player2Radio->isChecked());
}

void MainView::OnGenerate() {
  const DanceRequest dance = BuildRequest();
  const GenerationRequest& request = dance.Request();
  if (request.score == nullptr) return;

  ExportFormat format = LoadExportFormat();
  const QString path = ChooseSavePath(request, format);
  if (path.isEmpty()) return;
  QSettings().setValue(kLastSaveFolderKey, QFileInfo(path).absolutePath());
  SaveExportFormat(format);

  try {
    MotionDocument motion;
    ExportDance(request, FigureOf(Setup()), format, motion, ToNativePath(path));
    emit statusMessage(QStringLiteral("%1 に書き込みました (キーフレーム %2 個)")
                           .arg(QDir::toNativeSeparators(path))
                           .arg(motion.FrameCount()));
  } catch (const FileError& error) {
    messageBoxes_.critical(window(),
                           QStringLiteral("%1 に書き込めませんでした。\n%2")
                               .arg(QDir::toNativeSeparators(FromNativePath(error.path())),
                                    OsReason(error.osError(), error.reason())));
  } catch (const std::length_error&) {
    messageBoxes_.critical(
        window(),
        QStringLiteral("%1 を作成できませんでした。\nダンスが長すぎて、このファイル形式には"
                       "書き出せません。")
            .arg(QDir::toNativeSeparators(path)));
  } catch (const std::exception& error) {
    messageBoxes_.critical(
        window(), QStringLiteral("%1 を作成できませんでした。\n%2")
                      .arg(QDir::toNativeSeparators(path), QString::fromStdString(error.what())));
  }
}

DanceSetup MainView::Setup() const {
  DanceSetup setup;
  setup.chart = SelectedIndex();
  setup.player = ui_->player2Radio->isChecked() ? 1 : 0;
  setup.twist = ui_->twistCheck->isChecked();
  setup.timing = GameTimingChosen() ? ChartTiming::kGame : ChartTiming::kClassic;
  setup.feet = ui_->plannedFeetCheck->isChecked() ? FeetChoice::kPlanned : FeetChoice::kClassic;
  setup.motion =
      ui_->naturalMotionCheck->isChecked() ? MotionChoice::kNatural : MotionChoice::kClassic;
  if (model_) FitTo(setup, *model_);
  return setup;
}

void MainView::ChooseModel() {
  const QString path = fileDialogs_.getOpenFileName(window(), ToQtFilter(kModelFileFilter));
  if (path.isEmpty()) return;
  QString problem;
  std::optional<DanceModel> model = ReadModelOrTell(path, problem);
  if (!model) {
    messageBoxes_.critical(window(),
                           QStringLiteral("モデルを読み込めませんでした。\n%1").arg(problem));
    return;
  }
  model_ = std::move(model);
  SaveDanceSetup(Setup());
  ShowModel();
  emit statusMessage(QStringLiteral("自然な動きを %1 の体型に合わせます (大きさ %2 倍)")
                         .arg(ui_->modelLabel->text())
                         .arg(model_->body.PadScale(), 0, 'f', 2));
  SchedulePreview();
}

void MainView::ClearModel() {
  model_.reset();
  SaveDanceSetup(Setup());
  ShowModel();
  SchedulePreview();
}

void MainView::ShowModel(const QString& problem) {
  const bool natural = ui_->naturalMotionCheck->isChecked();
  if (model_) {
    ui_->modelLabel->setText(QString::fromStdString(model_->skeleton.name));
    ui_->modelLabel->setToolTip(QDir::toNativeSeparators(FromNativePath(model_->file)));
  } else if (!problem.isEmpty()) {
    ui_->modelLabel->setText(QStringLiteral("標準の体型 (モデルを読めません)"));
    ui_->modelLabel->setToolTip(problem);
  } else {
    ui_->modelLabel->setText(QStringLiteral("標準の体型"));
    ui_->modelLabel->setToolTip({});
  }
  ui_->modelButton->setEnabled(natural);
  ui_->modelLabel->setEnabled(natural);
  ui_->modelClearButton->setEnabled(natural && model_.has_value());
}

DanceRequest MainView::BuildRequest() const {
  return MakeDanceRequest(document_, Setup());
}

void MainView::SetPreview(DancePreview* preview) {
  preview_ = preview;
  RefreshPreview();
}

void MainView::SchedulePreview() {
  // Refilling the form toggles several controls at once: one dance for all of them.
  if (previewScheduled_ || preview_ == nullptr) return;
  previewScheduled_ = true;
  QTimer::singleShot(0, this, &MainView::RefreshPreview);
}

void MainView::RefreshPreview() {
  previewScheduled_ = false;
  if (preview_ == nullptr) return;
  // The preview draws the pad as the player stands on it: the same dance, turned to the screen.
  DanceSetup setup = Setup();
  setup.facing = Facing::kScreen;
  preview_->SetRequest(MakeDanceRequest(document_, setup).Request(), documentPath_);
}

bool MainView::GameTimingChosen() const {
  return ui_->gameTimingCheck->isChecked();
}

void MainView::ChooseGameTiming() {
  if (!ui_->gameTimingCheck->isChecked()) ui_->gameTimingCheck->click();
}

void MainView::OnGameTimingClicked(bool on) {
  SaveDanceSetup(Setup());
  const int row = SelectedIndex();
  const QString name = row >= 0 ? ui_->chartList->item(row)->text() : QString();
  const bool twist = ui_->twistCheck->isChecked();
  emit GameTimingToggled(on);

  // Reading again refilled the list and checked the twist box: the same chart is chosen again,
  // by its row when that still holds it (two charts may share a name), else by its name.
  QListWidget* list = ui_->chartList;
  int keep = -1;
  if (row >= 0 && row < list->count() && list->item(row)->text() == name) {
    keep = row;
  } else if (row >= 0) {
    const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    if (!found.isEmpty()) keep = list->row(found.first());
  }
  if (keep >= 0) list->setCurrentRow(keep, QItemSelectionModel::ClearAndSelect);
  ui_->twistCheck->setChecked(twist);
  UpdateGenerateEnabling();
}

void MainView::ShowPlayerChoice(bool twoPlayers) {
  if (twoPlayers) {
    if (playerGroup_->checkedId() < 0 && chosenPlayer_ >= 0) {
      playerGroup_->button(chosenPlayer_)->setChecked(true);
    }
    chosenPlayer_ = playerGroup_->checkedId();
    return;
  }
  if (playerGroup_->checkedId() >= 0) chosenPlayer_ = playerGroup_->checkedId();
  // An exclusive group keeps one button checked: it lets go while both are cleared.
  playerGroup_->setExclusive(false);
  ui_->player1Radio->setChecked(false);
  ui_->player2Radio->setChecked(false);
  playerGroup_->setExclusive(true);
}

int MainView::SelectedIndex() const {
  const QModelIndexList selected = ui_->chartList->selectionModel()->selectedIndexes();
  return selected.isEmpty() ? -1 : selected.first().row();
}

QString MainView::ChooseSavePath(const GenerationRequest& request, ExportFormat& format) {
  const QString filter = ToQtSaveFilter(kMotionFileFilter);
  const QStringList filters = filter.split(QStringLiteral(";;"));
  const auto extension = [](ExportFormat f) {
    return QString::fromStdString(std::string(ExtensionOf(f).substr(1)));
  };
  // Named as `convert --all` names the chart's file, in the folder of the last save.
  QString folder = QSettings().value(kLastSaveFolderKey).toString();
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
    folder = documentPath_.isEmpty() ? QDir::homePath() : QFileInfo(documentPath_).absolutePath();
  }
  QString suffix;
  if (request.score->mode == kCouple) {
    suffix = request.player == 0 ? QStringLiteral("_1P") : QStringLiteral("_2P");
  }
  const QString stem = documentPath_.isEmpty() ? QStringLiteral("motion") : documentPath_;
  const QString name =
      FromNativePath(ChartFileName(ToNativePath(stem), request.score->name, suffix.toStdString())
                         .replace_extension(ExtensionOf(format)));
  const QString initial = QDir(folder).filePath(name);
  QString selected = filters.value(static_cast<qsizetype>(format));
  for (;;) {
    const QString chosen = fileDialogs_.getSaveFileName(window(), filter, initial, &selected);
    if (chosen.isEmpty()) return {};
    // A name ending in a format's extension writes that format, as on the command line; else the
    // filter chosen says (every file: the format the dialog opened with).
    const qsizetype index = filters.indexOf(selected);
    if (index >= 0 && index < std::ssize(kFormats)) format = kFormats[index];
    format = FormatOfName(ToNativePath(chosen)).value_or(format);
    // The extension is added here rather than by the dialog, and the overwrite question is asked
    // for the name with the extension, which the dialog never saw.
    const QString path = WithDefaultExtension(chosen, extension(format));
    if (!QFileInfo::exists(path)) return path;
    if (messageBoxes_.question(window(), QStringLiteral("%1 は既に存在します。\n上書きしますか?")
                                             .arg(QDir::toNativeSeparators(path)))) {
      return path;
    }
  }
}

}  // namespace pavaneflow
