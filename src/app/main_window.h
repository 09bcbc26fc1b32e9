#pragma once

#include <QList>
#include <QMainWindow>
#include <QString>

#include "app/recent_file_list.h"

class QAction;
class QLabel;
class QMenu;
class QScrollArea;

namespace pavaneflow {

class DancePreview;
class DWIDocument;
class FileDialogs;
class MainView;
class MessageBoxes;

// The main window: the File and Help menus and, as its whole client area, the scrollable
// MainView. Opens files into the one document from the Open dialog, the recent-file list, a drop
// and the command line, in the timing last chosen in the form (kept in the per-user settings), and
// song folders as the command line reads them. Writes every chart of the open song, or of every
// song of the open folder, into a chosen folder.
// No maximise button; the border resizes. The document and the dialogs are not owned and must
// outlive the window.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  MainWindow(DWIDocument& document, FileDialogs& fileDialogs, MessageBoxes& messageBoxes,
             QWidget* parent = nullptr);

  // Empties the document and shows it untitled.
  void NewDocument();

  // Opens `path` as OpenFolder does when it is a folder, else as OpenDocument does.
  bool Open(const QString& path);

  // Opens the first song of the folder `path` that can be danced (see FindSongs: files sharing a
  // stem are one song, and the .ssc, .sm or .dwi is read as the games choose) and keeps the folder
  // for "すべての譜面を生成...". A folder without songs is refused in a message box, and false is
  // returned.
  bool OpenFolder(const QString& path);

  // Opens `path` into the document, refreshes the view and rewinds the preview. When the file
  // cannot be opened the document is left empty and untitled, the reason (the operating system's
  // in the user's language) is shown in a message box, and false is returned (LastOpenError()
  // then holds the reason). A file that holds no chart, or whose charts have no usable tempo, is
  // refused the same way once read. A VMD motion is refused the same way before anything is read,
  // and the open document stays. The status bar's message of the last file is cleared.
  bool OpenDocument(const QString& path);

  // "すべての譜面を生成...": asks for a folder and writes every chart of the open song, or of every
  // song of the open folder, into it, with a progress dialog that can stop it, then tells how it
  // went in a message box.
  void GenerateAll();

  // Turns "ゲームと同じタイミング" on and reads the open file again in it.
  void ReadInGameTiming();

  // "<path>: <reason>" of the last failed open.
  const QString& LastOpenError() const { return lastOpenError_; }

  MainView* View() const { return view_; }
  DancePreview* Preview() const { return preview_; }
  const RecentFileList& RecentFiles() const { return recentFiles_; }

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void OnFileOpen();
  void OnFolderOpen();
  void OnRecentFile(const QString& path);
  void OnAppAbout();
  // Reads the open file again in the timing now chosen.
  void OnGameTimingToggled();

  void UpdateRecentFileMenu();
  // Names the skipped charts of the open file in the status bar; nothing when there are none.
  void ShowSkippedCharts();
  // Names the open folder in the status bar; nothing when a file was opened.
  void ShowOpenFolder();
  void SetDocumentTitle(const QString& path);
  // Shrinks the window to the size the form needs; a smaller window keeps its size.
  void ShrinkToFit();
  QSize FitSize() const;

  DWIDocument& document_;
  FileDialogs& fileDialogs_;
  MessageBoxes& messageBoxes_;
  RecentFileList recentFiles_;
  QString lastOpenError_;
  // The file the document was read from; empty when it is untitled.
  QString openPath_;
  // The folder opened, whose songs "すべての譜面を生成..." writes; empty when a file was opened.
  QString openFolder_;
  int folderSongs_ = 0;

  QScrollArea* scrollArea_;
  // The charts of the open file that were skipped, in the status bar until the next open.
  QLabel* skippedCharts_;
  // The open folder and its number of songs, in the status bar while it is open.
  QLabel* openFolderLabel_;
  MainView* view_;
  DancePreview* preview_;
  QMenu* fileMenu_ = nullptr;
  QAction* recentPlaceholder_ = nullptr;
  QAction* exitSeparator_ = nullptr;
  QList<QAction*> recentActions_;
};

}  // namespace pavaneflow
