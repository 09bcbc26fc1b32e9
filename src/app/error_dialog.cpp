#include "app/error_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace pavaneflow {

ErrorDialog::ErrorDialog(QWidget* parent) : QDialog(parent), errorEdit_(new QPlainTextEdit(this)) {
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

}  // namespace pavaneflow
