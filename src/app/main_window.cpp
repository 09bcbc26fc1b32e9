#include "app/main_window.h"

#include <algorithm>
#include <exception>

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressDialog>
#include <QScrollArea>
#include <QStatusBar>
#include <QUrl>

#include "app/about_dialog.h"
#include "app/dance_preview.h"
#include "app/dance_setup_settings.h"
#include "app/every_chart_writer.h"
#include "app/file_dialogs.h"
#include "app/file_filter.h"
#include "app/main_view.h"
#include "app/message_boxes.h"
#include "app/native_path.h"
#include "app/os_reason.h"
#include "chart/dwi_document.h"
#include "motion/setup/open_song.h"
#include "motion/setup/song_folders.h"
#include "vmd/vmd_signature.h"

namespace pavaneflow {

namespace {

const QString kApplicationTitle = QStringLiteral("Pavaneflow");
const QString kUntitled = QStringLiteral("無題");
const QString kOpenFilter = QStringLiteral(
    "譜面ファイル (*.DWI;*.SM;*.SSC)|*.DWI;*.SM;*.SSC|DWI ファイル (*.DWI)|*.DWI|"
    "StepMania ファイル (*.SM;*.SSC)|*.SM;*.SSC|すべてのファイル (*.*)|*.*");

// The first local file among the dropped URLs; empty when there is none.
QString FirstLocalFile(const QMimeData* mimeData) {
  if (mimeData == nullptr || !mimeData->hasUrls()) return {};
  for (const QUrl& url : mimeData->urls()) {
    if (url.isLocalFile()) return url.toLocalFile();
  }
  return {};
}

QString RecentFileLabel(qsizetype index, const QString& path) {
  QString shown = QDir::toNativeSeparators(path);
  shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
  return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

}  // namespace

MainWindow::MainWindow(DWIDocument& document, FileDialogs& fileDialogs, MessageBoxes& messageBoxes,
                       QWidget* parent)
    : QMainWindow(parent),
      document_(document),
      fileDialogs_(fileDialogs),
      messageBoxes_(messageBoxes),
      scrollArea_(new QScrollArea(this)),
      skippedCharts_(new QLabel(this)),
      openFolderLabel_(new QLabel(this)),
      view_(new MainView(document, fileDialogs, messageBoxes)),
      preview_(new DancePreview) {
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  // The form's fields refuse drops, so a file dropped anywhere on the window arrives here.
  setAcceptDrops(true);

  fileMenu_ = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
  QAction* openAction = fileMenu_->addAction(QStringLiteral("開く(&O)..."));
  openAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  connect(openAction, &QAction::triggered, this, &MainWindow::OnFileOpen);
  QAction* openFolderAction = fileMenu_->addAction(QStringLiteral("フォルダーを開く(&D)..."));
  openFolderAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
  connect(openFolderAction, &QAction::triggered, this, &MainWindow::OnFolderOpen);
  QAction* modelAction = fileMenu_->addAction(QStringLiteral("モデル(&M)..."));
  modelAction->setObjectName(QStringLiteral("modelAction"));
  connect(modelAction, &QAction::triggered, view_, &MainView::ChooseModel);
  fileMenu_->addSeparator();
  recentPlaceholder_ = fileMenu_->addAction(QStringLiteral("最近使ったファイル"));
  recentPlaceholder_->setEnabled(false);
  exitSeparator_ = fileMenu_->addSeparator();
  QAction* exitAction = fileMenu_->addAction(QStringLiteral("終了(&X)"));
  connect(exitAction, &QAction::triggered, this, &QWidget::close);

  QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  QAction* aboutAction = helpMenu->addAction(QStringLiteral("バージョン情報(&A)..."));
  connect(aboutAction, &QAction::triggered, this, &MainWindow::OnAppAbout);

  connect(view_, &MainView::GameTimingToggled, this, &MainWindow::OnGameTimingToggled);
  connect(view_, &MainView::GenerateAllRequested, this, &MainWindow::GenerateAll);

  scrollArea_->setWidgetResizable(true);
  scrollArea_->setWidget(view_);
  // The form keeps its size at the left; the preview beside it takes what the window adds.
  auto* central = new QWidget(this);
  auto* columns = new QHBoxLayout(central);
  columns->setContentsMargins(0, 0, 6, 0);
  columns->addWidget(scrollArea_);
  columns->addWidget(preview_, 1);
  scrollArea_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  setCentralWidget(central);
  connect(view_, &MainView::statusMessage, statusBar(),
          [this](const QString& text) { statusBar()->showMessage(text); });
  connect(preview_, &DancePreview::statusMessage, statusBar(),
          [this](const QString& text) { statusBar()->showMessage(text); });
  view_->SetPreview(preview_);
  // A permanent part of the status bar: the preview's passing messages do not cover it.
  skippedCharts_->setObjectName(QStringLiteral("skippedCharts"));
  statusBar()->addPermanentWidget(skippedCharts_);
  // While a folder is open, so that the user knows what "すべての譜面を生成..." writes.
  openFolderLabel_->setObjectName(QStringLiteral("openFolder"));
  statusBar()->addPermanentWidget(openFolderLabel_);

  UpdateRecentFileMenu();
  SetDocumentTitle({});
  resize(FitSize());
}

void MainWindow::NewDocument() {
  document_.DeleteContents();
  view_->SetDocumentPath({});
  document_.SetModifiedFlag(false);
  openPath_.clear();
  SetDocumentTitle({});
  view_->OnInitialUpdate();
  ShrinkToFit();
}

bool MainWindow::Open(const QString& path) {
  return QFileInfo(path).isDir() ? OpenFolder(path) : OpenDocument(path);
}

bool MainWindow::OpenFolder(const QString& path) {
  const std::vector<SongInFolder> songs = FindSongs(ToNativePath(path));
  if (songs.empty()) {
    messageBoxes_.critical(this,
                           QStringLiteral("%1 とその下に .ssc、.sm、.dwi ファイルがありません。")
                               .arg(QDir::toNativeSeparators(path)));
    return false;
  }
  // The first song that can be danced is shown; when none can, the first tells why.
  std::filesystem::path first = songs.front().file;
  for (const SongInFolder& song : songs) {
    DWIDocument scratch;
    if (!IsVmdFile(song.file) && OpenSong(scratch, song.file, view_->Setup()) &&
        !scratch.scores.empty() && scratch.HasUsableTempo()) {
      first = song.file;
      break;
    }
  }
  if (!OpenDocument(FromNativePath(first))) return false;
  openFolder_ = path;
  folderSongs_ = static_cast<int>(songs.size());
  ShowOpenFolder();
  return true;
}

bool MainWindow::OpenDocument(const QString& path) {
  const QString shownPath = QDir::toNativeSeparators(path);
  statusBar()->clearMessage();
  openFolder_.clear();
  ShowOpenFolder();
  if (IsVmdFile(ToNativePath(path))) {
    lastOpenError_ = shownPath + QStringLiteral(": VMD モーションで、譜面ではありません");
    messageBoxes_.critical(
        this, QStringLiteral("%1 は VMD モーションで、譜面ではありません。").arg(shownPath));
    return false;
  }
  bool opened = false;
  try {
    opened = OpenSong(document_, ToNativePath(path), view_->Setup());
    if (!opened) {
      lastOpenError_ = document_.OpenOsError() == 0
                           ? QString::fromStdString(document_.OpenError())
                           : shownPath + QStringLiteral(": ") +
                                 OsReason(document_.OpenOsError(), document_.OpenError());
    }
  } catch (const std::exception& error) {
    lastOpenError_ = QDir::toNativeSeparators(path) + QStringLiteral(": ") +
                     QString::fromStdString(error.what());
  }
  // Read, but nothing in it can be danced: refused as the command line refuses it.
  if (opened && document_.scores.empty()) {
    opened = false;
    lastOpenError_ =
        QStringLiteral("%1 に譜面が見つかりません (DWI、.sm、.ssc ファイルですか?)").arg(shownPath);
  } else if (opened && !document_.HasUsableTempo()) {
    opened = false;
    lastOpenError_ = QStringLiteral(
                         "%1: 使えるテンポがありません (#BPM がないか、正の数ではありません)。"
                         "ダンスを作れません")
                         .arg(shownPath);
  }
  if (opened) {
    recentFiles_.Add(path);
    UpdateRecentFileMenu();
  } else {
    // A read that broke off leaves part of the song behind; generating from it would give a
    // motion that silently stops early, so nothing of it is kept.
    document_.DeleteContents();
  }
  // Refreshed after a failed open as well: the list must never show charts that are gone.
  openPath_ = opened ? path : QString();
  SetDocumentTitle(openPath_);
  view_->SetDocumentPath(openPath_);
  view_->OnInitialUpdate();
  preview_->Rewind();
  ShowSkippedCharts();
  ShrinkToFit();

  if (!opened) {
    messageBoxes_.critical(this, QStringLiteral("ファイルを開けませんでした。\n") + lastOpenError_);
  }
  return opened;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!FirstLocalFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  // Of several files dropped at once the first is opened: there is one document. A folder is
  // opened as a folder of songs.
  const QString path = FirstLocalFile(event->mimeData());
  if (path.isEmpty()) return;
  event->acceptProposedAction();
  // Opened once the drop has ended: the error dialog or message box of the open must not keep the
  // application the file came from waiting for the drop to finish.
  QMetaObject::invokeMethod(
      this, [this, path] { Open(path); }, Qt::QueuedConnection);
}

void MainWindow::OnFileOpen() {
  const QString path = fileDialogs_.getOpenFileName(this, ToQtFilter(kOpenFilter));
  if (!path.isEmpty()) OpenDocument(path);
}

void MainWindow::OnFolderOpen() {
  const QString start = openPath_.isEmpty() ? QString() : QFileInfo(openPath_).absolutePath();
  const QString path =
      fileDialogs_.getExistingDirectory(this, QStringLiteral("曲のフォルダーを開く"), start);
  if (!path.isEmpty()) OpenFolder(path);
}

void MainWindow::GenerateAll() {
  if (openPath_.isEmpty()) return;
  const QString start = QFileInfo(openFolder_.isEmpty() ? openPath_ : openFolder_).absolutePath();
  const QString target = fileDialogs_.getExistingDirectory(
      this, QStringLiteral("すべての譜面のモーションを書き出すフォルダー"), start);
  if (target.isEmpty()) return;
  const std::filesystem::path folder = ToNativePath(target);
  std::vector<EveryChartWriter::Song> songs;
  if (openFolder_.isEmpty()) {
    songs.push_back({ToNativePath(openPath_), folder});
  } else {
    // As `convert` writes a folder: each song into its own folder beneath the chosen one.
    for (const SongInFolder& song : FindSongs(ToNativePath(openFolder_))) {
      songs.push_back({song.file, (folder / song.folder).lexically_normal()});
    }
  }

  QProgressDialog progress(QStringLiteral("モーションを書き出しています..."),
                           QStringLiteral("中止"), 0, 1, this);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(0);
  progress.setAutoReset(false);
  const EveryChartWriter::Summary summary = EveryChartWriter::Write(
      songs, view_->Setup(), LoadExportFormat(),
      [&progress](int done, int total, const QString& file) {
        progress.setMaximum(std::max(total, 1));
        progress.setValue(done);
        progress.setLabelText(file.isEmpty() ? QStringLiteral("モーションを書き出しています...")
                                             : file);
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
      });
  progress.close();
  const QString text = EveryChartWriter::SummaryText(summary);
  if (summary.failures.isEmpty()) {
    messageBoxes_.information(this, text);
  } else {
    messageBoxes_.critical(this, text);
  }
  statusBar()->showMessage(QStringLiteral("%1 にモーションを %2 個書き出しました")
                               .arg(QDir::toNativeSeparators(target))
                               .arg(summary.written));
}

void MainWindow::OnRecentFile(const QString& path) {
  if (OpenDocument(path)) return;
  // An entry that no longer opens is dropped, so the list does not keep offering it.
  recentFiles_.Remove(path);
  UpdateRecentFileMenu();
}

void MainWindow::OnAppAbout() {
  AboutDialog dialog(this);
  dialog.exec();
}

void MainWindow::ReadInGameTiming() {
  view_->ChooseGameTiming();
}

void MainWindow::ShowSkippedCharts() {
  QStringList skipped;
  for (const SkippedChart& chart : document_.skippedCharts) {
    skipped += QStringLiteral("%1 ×%2").arg(QString::fromStdU16String(chart.tag)).arg(chart.count);
  }
  skippedCharts_->setText(skipped.isEmpty() ? QString()
                                            : QStringLiteral("読み込まなかった譜面: ") +
                                                  skipped.join(QStringLiteral(", ")));
}

void MainWindow::OnGameTimingToggled() {
  if (openPath_.isEmpty()) return;
  // The same song read again: the folder it came from stays open.
  const QString folder = openFolder_;
  if (OpenDocument(openPath_)) openFolder_ = folder;
  ShowOpenFolder();
}

void MainWindow::ShowOpenFolder() {
  openFolderLabel_->setText(openFolder_.isEmpty() ? QString()
                                                  : QStringLiteral("フォルダー %1 (%2 曲)")
                                                        .arg(QFileInfo(openFolder_).fileName())
                                                        .arg(folderSongs_));
  openFolderLabel_->setToolTip(
      openFolder_.isEmpty() ? QString()
                            : QStringLiteral("<qt>%1<br>「すべての譜面を生成...」はこのフォルダーの"
                                             "全曲を書き出します</qt>")
                                  .arg(QDir::toNativeSeparators(openFolder_).toHtmlEscaped()));
}

void MainWindow::UpdateRecentFileMenu() {
  for (QAction* action : recentActions_) {
    fileMenu_->removeAction(action);
    action->deleteLater();
  }
  recentActions_.clear();

  const QStringList& files = recentFiles_.Files();
  recentPlaceholder_->setVisible(files.isEmpty());
  for (qsizetype i = 0; i < files.size(); ++i) {
    const QString path = files[i];
    auto* action = new QAction(RecentFileLabel(i, path), fileMenu_);
    action->setToolTip(QDir::toNativeSeparators(path));
    connect(action, &QAction::triggered, this, [this, path] { OnRecentFile(path); });
    fileMenu_->insertAction(exitSeparator_, action);
    recentActions_ += action;
  }
}

void MainWindow::SetDocumentTitle(const QString& path) {
  const QString name = path.isEmpty() ? kUntitled : QFileInfo(path).fileName();
  setWindowTitle(name + QStringLiteral(" - ") + kApplicationTitle);
}

void MainWindow::ShrinkToFit() {
  resize(size().boundedTo(FitSize()));
}

QSize MainWindow::FitSize() const {
  const int frame = 2 * scrollArea_->frameWidth();
  const QSize form = view_->sizeHint() + QSize(frame, frame);
  const QSize preview = preview_->sizeHint();
  return QSize(form.width() + preview.width() + 12, std::max(form.height(), preview.height()) +
                                                        menuBar()->sizeHint().height() +
                                                        statusBar()->sizeHint().height());
}

}  // namespace pavaneflow
