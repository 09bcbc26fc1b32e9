#include "chart/dwi_document.h"

#include "chart/dwi_reader.h"

namespace pavaneflow {

void DWIDocument::DeleteContents() {
  lastErrors_.clear();
  lastErrorCount_ = 0;
  lastGameReadableCount_ = 0;
  TextDocument::DeleteContents();
}

void DWIDocument::ReadText(LineSource& input) {
  DWIReader reader(*this, input, timing_);
  reader.ReadTags();
  lastErrors_ = reader.Errors();
  lastErrorCount_ = reader.ErrorCount();
  lastGameReadableCount_ = reader.GameReadableCount();
  if (!lastErrors_.empty() && errorReporter_ != nullptr) {
    errorReporter_->ShowErrors(lastErrors_, lastGameReadableCount_);
  }
  SetModifiedFlag(false);
}

}  // namespace pavaneflow
