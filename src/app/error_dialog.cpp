#include "app/error_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pavaneflow {

ErrorDialog::ErrorDialog(QWidget* parent)
    : QDialog(parent),
      errorEdit_(new QPlainTextEdit(this)),
      hint_(new QWidget(this)),
      hintLabel_(new QLabel(hint_)) {
  setWindowTitle(QStringLiteral("エラー"));
  auto* layout = new QVBoxLayout(this);

  auto* label = new QLabel(QStringLiteral("正常に読めなかったデータがあります。"), this);
  layout->addWidget(label);

  errorEdit_->setObjectName(QStringLiteral("errorEdit"));
  errorEdit_->setReadOnly(true);
  errorEdit_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  errorEdit_->setLineWrapMode(QPlainTextEdit::NoWrap);
  errorEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  errorEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  layout->addWidget(errorEdit_, 1);

  auto* hintRow = new QHBoxLayout(hint_);
  hintRow->setContentsMargins(0, 0, 0, 0);
  hintLabel_->setObjectName(QStringLiteral("gameTimingHint"));
  hintLabel_->setWordWrap(true);
  hintRow->addWidget(hintLabel_, 1);
  auto* readButton = new QPushButton(QStringLiteral("ゲームと同じタイミングで読み直す"), hint_);
  readButton->setObjectName(QStringLiteral("gameTimingButton"));
  readButton->setAutoDefault(false);
  connect(readButton, &QPushButton::clicked, this, [this] { done(kReadInGameTiming); });
  hintRow->addWidget(readButton);
  hint_->hide();
  layout->addWidget(hint_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, Qt::Horizontal, this);
  buttons->setCenterButtons(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);

  resize(480, 300);
}

void ErrorDialog::SetErrorText(const QString& errorText) {
  QString text = errorText;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  errorEdit_->setPlainText(text);
}

QString ErrorDialog::ErrorText() const {
  return errorEdit_->toPlainText();
}

void ErrorDialog::SetGameTimingHint(qint64 count) {
  hintLabel_->setText(
      QStringLiteral("「ゲームと同じタイミング」で読むと、このうち %1 件は問題なく読めます。")
          .arg(count));
  hint_->setVisible(count > 0);
}

}  // namespace pavaneflow
