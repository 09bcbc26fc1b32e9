#include "app/about_dialog.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStringList>
#include <QVBoxLayout>

namespace pavaneflow {

QString AboutDialog::AboutText() {
  return QStringLiteral("Pavaneflow\nバージョン:\t" PAVANEFLOW_VERSION
                        "\n作成者:\tぱゔぁーぬ工房\nライセンス:\tMIT");
}

QString AboutDialog::WebAddress() {
  return QStringLiteral(PAVANEFLOW_HOMEPAGE);
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("バージョン情報"));
  auto* layout = new QVBoxLayout(this);

  // A borderless, transparent read-only edit: the text looks like a label but can be copied.
  auto* aboutEdit = new QPlainTextEdit(this);
  aboutEdit->setObjectName(QStringLiteral("aboutEdit"));
  aboutEdit->setReadOnly(true);
  aboutEdit->setFrameShape(QFrame::NoFrame);
  aboutEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
  aboutEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  aboutEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  aboutEdit->viewport()->setAutoFillBackground(false);
  aboutEdit->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; }"));
  aboutEdit->setPlainText(AboutText());
  // The values start one tab stop after the longest label; the edit is sized to show every line.
  const QFontMetrics metrics(aboutEdit->font());
  const QStringList lines = AboutText().split(QLatin1Char('\n'));
  int labelWidth = 0;
  int valueWidth = 0;
  for (const QString& line : lines) {
    if (!line.contains(QLatin1Char('\t'))) continue;
    labelWidth =
        std::max(labelWidth, metrics.horizontalAdvance(line.section(QLatin1Char('\t'), 0, 0)));
    valueWidth =
        std::max(valueWidth, metrics.horizontalAdvance(line.section(QLatin1Char('\t'), 1)));
  }
  const int gap = metrics.averageCharWidth() * 2;
  aboutEdit->setTabStopDistance(labelWidth + gap);
  aboutEdit->setFixedSize(labelWidth + valueWidth + gap * 4,
                          metrics.lineSpacing() * (static_cast<int>(lines.size()) + 1));
  layout->addWidget(aboutEdit);

  auto* webLink = new QLabel(this);
  webLink->setObjectName(QStringLiteral("webLink"));
  webLink->setTextFormat(Qt::RichText);
  webLink->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(WebAddress().toHtmlEscaped()));
  webLink->setTextInteractionFlags(Qt::TextBrowserInteraction);
  webLink->setOpenExternalLinks(true);
  layout->addWidget(webLink);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, Qt::Horizontal, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace pavaneflow
