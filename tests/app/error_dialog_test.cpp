#include "app/error_dialog.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/about_dialog.h"
#include "app/error_dialog_reporter.h"
#include "app_tests.h"
#include "chart/dwi_document.h"
#include "test_files.h"

namespace pavaneflow {

namespace {

// Closes every modal dialog that appears while it lives, recording the text of its error edit.
class ModalCloser {
 public:
  ModalCloser() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr) return;
      auto* edit = modal->findChild<QPlainTextEdit*>(QStringLiteral("errorEdit"));
      texts += edit != nullptr ? edit->toPlainText() : modal->windowTitle();
      modal->close();
    });
    timer_.start(20);
  }

  QStringList texts;

 private:
  QTimer timer_;
};

}  // namespace

class ErrorDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsEachEntryOnItsOwnUnwrappedReadOnlyLine();
  void ReaderShowsTheDialogOnceAfterAFileWithProblems();
  void GameTimingHintShowsOnlyWhenGameTimingReadsSomething();
  void TheHintButtonReadsAgainInGameTiming();
  void ReaderShowsNoDialogForAGoodFile();
  void AboutBoxHasNameVersionAuthorLicenceAndWebAddress();
  void EnterAndEscapeCloseBothDialogs();
};

void ErrorDialogTest::ShowsEachEntryOnItsOwnUnwrappedReadOnlyLine() {
  ErrorDialog dialog;
  QCOMPARE(dialog.windowTitle(), QStringLiteral("エラー"));
  const QString longEntry = QStringLiteral("3行目:") + QString(300, QLatin1Char('x'));
  dialog.SetErrorText(
      QStringLiteral(
          "1行目:'5' には対応していません。\r\n2行目:\"FREEZE\" には対応していません。\r\n") +
      longEntry);
  QCOMPARE(dialog.ErrorText().split(QLatin1Char('\n')),
           QStringList({QStringLiteral("1行目:'5' には対応していません。"),
                        QStringLiteral("2行目:\"FREEZE\" には対応していません。"), longEntry}));

  auto* edit = dialog.findChild<QPlainTextEdit*>(QStringLiteral("errorEdit"));
  QVERIFY(edit != nullptr);
  QVERIFY(edit->isReadOnly());
  QCOMPARE(edit->lineWrapMode(), QPlainTextEdit::NoWrap);
  QVERIFY(edit->textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
  QVERIFY(edit->textInteractionFlags().testFlag(Qt::TextSelectableByKeyboard));
  QVERIFY(dialog.findChild<QLabel*>() != nullptr);
}

void ErrorDialogTest::ReaderShowsTheDialogOnceAfterAFileWithProblems() {
  testing::TestFolder folder;
  const QString path =
      folder.Write(QStringLiteral("bad.dwi"),
                   "#TITLE:Bad;\n#CHANGEBPM:96=180;\n#FREEZE:1=2;\n#SINGLE:BASIC:1:2x8;\n");
  DWIDocument document;
  ErrorDialogReporter reporter(nullptr);
  document.SetErrorReporter(&reporter);

  ModalCloser closer;
  QVERIFY(document.OnOpenDocument(QFile::encodeName(path).toStdString()));
  // Not while the open runs: once the event loop takes over, when the window shows the file.
  QVERIFY(closer.texts.isEmpty());
  QTRY_COMPARE(closer.texts.size(), 1);
  QCOMPARE(closer.texts.first().count(QLatin1Char('\n')), 2);
  QVERIFY(closer.texts.first().startsWith(QStringLiteral("2行目:\"CHANGEBPM\"")));
  QTest::qWait(100);
  QCOMPARE(closer.texts.size(), 1);
}

void ErrorDialogTest::GameTimingHintShowsOnlyWhenGameTimingReadsSomething() {
  ErrorDialog dialog;
  auto* hint = dialog.findChild<QLabel*>(QStringLiteral("gameTimingHint"));
  auto* button = dialog.findChild<QPushButton*>(QStringLiteral("gameTimingButton"));
  QVERIFY(hint != nullptr && button != nullptr);
  dialog.show();
  QVERIFY(!hint->isVisible() && !button->isVisible());
  dialog.SetGameTimingHint(3);
  QVERIFY(hint->isVisible() && button->isVisible());
  QVERIFY(hint->text().contains(QStringLiteral("「ゲームと同じタイミング」")));
  QVERIFY(hint->text().contains(QStringLiteral("3 件")));
  // The button is no default: Enter still closes the dialog as OK.
  QVERIFY(!button->isDefault() && !button->autoDefault());
  button->click();
  QCOMPARE(dialog.result(), ErrorDialog::kReadInGameTiming);
  QVERIFY(!dialog.isVisible());
}

void ErrorDialogTest::TheHintButtonReadsAgainInGameTiming() {
  struct Case {
    const char* text;
    bool action;  // the reporter has an action for the button
    int reads;    // times the action ran after the button was pressed
  };
  const Case cases[] = {
      {"#SINGLE:BASIC:1:2{8};", true, 1},
      {"#SINGLE:BASIC:1:2x8;", true, 0},    // nothing game timing reads: no button
      {"#SINGLE:BASIC:1:2{8};", false, 0},  // nobody to read again: no button
  };
  for (const Case& c : cases) {
    testing::TestFolder folder;
    const QString path = folder.Write(QStringLiteral("hint.dwi"), c.text);
    DWIDocument document;
    ErrorDialogReporter reporter(nullptr);
    int reads = 0;
    if (c.action) reporter.SetReadInGameTiming([&reads] { ++reads; });
    document.SetErrorReporter(&reporter);
    bool sawButton = false;
    bool handled = false;
    QTimer presser;
    connect(&presser, &QTimer::timeout, [&sawButton, &handled] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr) return;
      auto* button = modal->findChild<QPushButton*>(QStringLiteral("gameTimingButton"));
      sawButton = button != nullptr && button->isVisibleTo(modal);
      if (sawButton) {
        button->click();
      } else {
        modal->close();
      }
      handled = true;
    });
    presser.start(20);
    QVERIFY(document.OnOpenDocument(QFile::encodeName(path).toStdString()));
    QTRY_VERIFY(handled);
    QTest::qWait(50);
    QCOMPARE(reads, c.reads);
    QCOMPARE(sawButton, c.reads > 0);
  }
}

void ErrorDialogTest::ReaderShowsNoDialogForAGoodFile() {
  testing::TestFolder folder;
  const QString path = folder.Write(QStringLiteral("good.dwi"), testing::kThreeModes);
  DWIDocument document;
  ErrorDialogReporter reporter(nullptr);
  document.SetErrorReporter(&reporter);

  ModalCloser closer;
  QVERIFY(document.OnOpenDocument(QFile::encodeName(path).toStdString()));
  QTest::qWait(100);
  QVERIFY(closer.texts.isEmpty());
}

void ErrorDialogTest::AboutBoxHasNameVersionAuthorLicenceAndWebAddress() {
  const QStringList lines = AboutDialog::AboutText().split(QLatin1Char('\n'));
  QCOMPARE(lines.size(), 4);
  QCOMPARE(lines[0], QStringLiteral("Pavaneflow"));
  QCOMPARE(lines[1], QStringLiteral("バージョン:\t" PAVANEFLOW_VERSION));
  QVERIFY(lines[2].startsWith(QStringLiteral("作成者:\t")));
  QVERIFY(lines[2].size() > QStringLiteral("作成者:\t").size());
  QCOMPARE(lines[3], QStringLiteral("ライセンス:\tMIT"));

  AboutDialog dialog;
  QCOMPARE(dialog.windowTitle(), QStringLiteral("バージョン情報"));
  auto* edit = dialog.findChild<QPlainTextEdit*>(QStringLiteral("aboutEdit"));
  QVERIFY(edit != nullptr);
  QCOMPARE(edit->toPlainText(), AboutDialog::AboutText());

  // The address is the project's own, and a click opens it.
  QVERIFY(AboutDialog::WebAddress().startsWith(QStringLiteral("https://")));
  auto* link = dialog.findChild<QLabel*>(QStringLiteral("webLink"));
  QVERIFY(link != nullptr);
  QVERIFY(link->openExternalLinks());
  QVERIFY(link->text().contains(QStringLiteral("href=\"" PAVANEFLOW_HOMEPAGE "\"")));
}

// Both close with OK, Enter or Escape, whichever control has the focus when the key is pressed.
void ErrorDialogTest::EnterAndEscapeCloseBothDialogs() {
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    ErrorDialog error;
    error.SetErrorText(QStringLiteral("1行目:x"));
    AboutDialog about;
    for (QDialog* dialog : {static_cast<QDialog*>(&error), static_cast<QDialog*>(&about)}) {
      dialog->show();
      QVERIFY(QTest::qWaitForWindowActive(dialog));
      QWidget* focus = QApplication::focusWidget();
      QTest::keyClick(focus != nullptr ? focus : dialog, key);
      QVERIFY2(!dialog->isVisible(), qPrintable(dialog->windowTitle()));
    }
  }
}

}  // namespace pavaneflow

int RunErrorDialogTest(int argc, char* argv[]) {
  pavaneflow::ErrorDialogTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "error_dialog_test.moc"
