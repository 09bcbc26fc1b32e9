#include "chart/dwi_document.h"

#include "chart/dwi_reader.h"

namespace pavaneflow {

void DWIDocument::DeleteContents() {
  lastProblems_.clear();
  lastErrors_.clear();
  lastErrorCount_ = 0;
  TextDocument::DeleteContents();
}

void DWIDocument::ReadText(LineSource& input) {
  DWIReader reader(*this, input, timing_);
  reader.ReadTags();
  lastProblems_ = reader.Problems();
  lastErrors_ = reader.Errors();
  lastErrorCount_ = reader.ErrorCount();
  if (!lastErrors_.empty() && errorReporter_ != nullptr) errorReporter_->ShowErrors(lastErrors_);
  SetModifiedFlag(false);
}

}  // namespace pavaneflow
