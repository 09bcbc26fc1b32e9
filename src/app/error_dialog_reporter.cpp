#include "app/error_dialog_reporter.h"

#include "app/error_dialog.h"

namespace pavaneflow {

void ErrorDialogReporter::ShowErrors(const std::u16string& errorText) {
  ErrorDialog dialog(parent_);
  dialog.SetErrorText(QString::fromStdU16String(errorText));
  dialog.exec();
}

}  // namespace pavaneflow
