#include "app/error_dialog_reporter.h"

#include <QCoreApplication>
#include <QTimer>

#include "app/error_dialog.h"

namespace pavaneflow {

void ErrorDialogReporter::ShowErrors(const std::u16string& errorText, std::int64_t gameReadable) {
  // Everything the dialog needs is copied: the reporter may be gone when it opens, and the
  // dialog is not opened at all once the window it belongs to is.
  QObject* context =
      parent_ != nullptr ? static_cast<QObject*>(parent_.data()) : QCoreApplication::instance();
  const QPointer<QWidget> parent = parent_;
  const QString text = QString::fromStdU16String(errorText);
  const std::function<void()> read = gameReadable > 0 ? readInGameTiming_ : nullptr;
  QTimer::singleShot(0, context, [parent, text, gameReadable, read] {
    ErrorDialog dialog(parent);
    dialog.SetErrorText(text);
    dialog.SetGameTimingHint(read ? gameReadable : 0);
    if (dialog.exec() == ErrorDialog::kReadInGameTiming && read) read();
  });
}

}  // namespace pavaneflow
