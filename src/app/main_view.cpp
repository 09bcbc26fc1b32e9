#include "app/main_view.h"

#include <charconv>
#include <exception>

#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QSignalBlocker>

#include "app/file_dialogs.h"
#include "app/file_filter.h"
#include "app/message_boxes.h"
#include "app/native_path.h"
#include "base/file_error.h"
#include "chart/song_document.h"
#include "motion/generation_request.h"
#include "motion/run.h"
#include "motion/whole_chart_foot_planner.h"
#include "ui_main_view.h"

namespace pavaneflow {

namespace {

const QString kMotionFileFilter =
    QStringLiteral("モーションファイル(*.VMD)|*.vmd|すべてのファイル(*.*)|*.*");
const QString kMotionFileExtension = QStringLiteral("vmd");
// Whether "足運びを最適化" was checked, remembered across runs.
const QString kPlannedFeetKey = QStringLiteral("plannedFeet");

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
  // Both radios start unchecked and, once one was chosen, one of them stays checked.
  playerGroup_->setExclusive(true);
  playerGroup_->addButton(ui_->player1Radio, 0);
  playerGroup_->addButton(ui_->player2Radio, 1);

  connect(ui_->chartList, &QListWidget::itemSelectionChanged, this,
          &MainView::UpdateGenerateEnabling);
  connect(ui_->player1Radio, &QRadioButton::clicked, this, &MainView::UpdateGenerateEnabling);
  connect(ui_->player2Radio, &QRadioButton::clicked, this, &MainView::UpdateGenerateEnabling);
  connect(ui_->generateButton, &QPushButton::clicked, this, &MainView::OnGenerate);

  ui_->plannedFeetCheck->setChecked(QSettings().value(kPlannedFeetKey, false).toBool());
  connect(ui_->plannedFeetCheck, &QCheckBox::toggled, this,
          [](bool checked) { QSettings().setValue(kPlannedFeetKey, checked); });

  document_.AddView(this);
}

MainView::~MainView() {
  document_.RemoveView(this);
}

void MainView::OnInitialUpdate() {
  OnUpdate();
}

void MainView::OnUpdate() {
  ui_->titleEdit->setText(QString::fromStdU16String(document_.title));
  ui_->artistEdit->setText(QString::fromStdU16String(document_.artist));
  ui_->bpmEdit->setText(FormatBpm(document_.bpm));

  {
    const QSignalBlocker blocker(ui_->chartList);
    ui_->chartList->clear();
    for (const auto& score : document_.scores) {
      ui_->chartList->addItem(QString::fromStdU16String(score->GetName()));
    }
    if (ui_->chartList->count() > 0) {
      ui_->chartList->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    }
  }

  ui_->twistCheck->setChecked(true);
  UpdateGenerateEnabling();
}

void MainView::UpdateGenerateEnabling() {
  const Score* score = ScoreAt(document_, SelectedIndex());
  if (score == nullptr) {
    ui_->player1Radio->setEnabled(false);
    ui_->player2Radio->setEnabled(false);
    ui_->generateButton->setEnabled(false);
    return;
  }
  const bool twoPlayers = score->mode == kCouple;
  ui_->player1Radio->setEnabled(twoPlayers);
  ui_->player2Radio->setEnabled(twoPlayers);
  ui_->generateButton->setEnabled(!twoPlayers || ui_->player1Radio->isChecked() ||
                                  ui_->player2Radio->isChecked());
}

void MainView::OnGenerate() {
  const Score* score = ScoreAt(document_, SelectedIndex());
  if (score == nullptr) return;
  const std::int32_t player = score->mode == kCouple && ui_->player2Radio->isChecked() ? 1 : 0;

  const QString path = ChooseSavePath();
  if (path.isEmpty()) return;

  GenerationRequest request;
  request.song = &document_;
  request.score = score;
  request.player = player;
  request.twist = ui_->twistCheck->isChecked();
  const WholeChartFootPlanner plannedFeet;
  if (ui_->plannedFeetCheck->isChecked()) request.feet = &plannedFeet;
  try {
    Run(request, ToNativePath(path));
  } catch (const FileError& error) {
    messageBoxes_.critical(window(),
                           QStringLiteral("%1 に書き込めませんでした。\n%2")
                               .arg(QDir::toNativeSeparators(FromNativePath(error.path())),
                                    QString::fromStdString(error.reason())));
  } catch (const std::exception& error) {
    messageBoxes_.critical(
        window(), QStringLiteral("%1 を作成できませんでした。\n%2")
                      .arg(QDir::toNativeSeparators(path), QString::fromStdString(error.what())));
  }
}

int MainView::SelectedIndex() const {
  const QModelIndexList selected = ui_->chartList->selectionModel()->selectedIndexes();
  return selected.isEmpty() ? -1 : selected.first().row();
}

QString MainView::ChooseSavePath() {
  const QString filter = ToQtFilter(kMotionFileFilter);
  for (;;) {
    const QString chosen = fileDialogs_.getSaveFileName(window(), filter);
    if (chosen.isEmpty()) return {};
    // The extension is added here rather than by the dialog, and the overwrite question is asked
    // for the name with the extension, which the dialog never saw.
    const QString path = WithDefaultExtension(chosen, kMotionFileExtension);
    if (!QFileInfo::exists(path)) return path;
    if (messageBoxes_.question(window(), QStringLiteral("%1 は既に存在します。\n上書きしますか?")
                                             .arg(QDir::toNativeSeparators(path)))) {
      return path;
    }
  }
}

}  // namespace pavaneflow
