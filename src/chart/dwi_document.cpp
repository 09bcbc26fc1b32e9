#include "chart/dwi_document.h"

#include "chart/dwi_reader.h"
#include "chart/problem_text.h"
#include "chart/simfile_reader.h"

namespace pavaneflow {

void DWIDocument::DeleteContents() {
  lastProblems_.clear();
  lastErrors_.clear();
  lastErrorCount_ = 0;
  lastGameReadableCount_ = 0;
  TextDocument::DeleteContents();
}

bool DWIDocument::OnOpenDocument(const std::filesystem::path& path) {
  format_ = ChartFormatOf(path);
  return TextDocument::OnOpenDocument(path);
}

void DWIDocument::ReadText(LineSource& input) {
  lastGameReadableCount_ = 0;
  if (IsSimfile(format_)) {
    SimfileReader reader(*this, input, format_);
    reader.Read();
    lastProblems_ = reader.Problems().Kept();
    lastErrorCount_ = reader.Problems().Count();
  } else {
    DWIReader reader(*this, input, timing_);
    reader.ReadTags();
    lastProblems_ = reader.Problems();
    lastErrorCount_ = reader.ErrorCount();
    lastGameReadableCount_ = reader.GameReadableCount();
  }
  lastErrors_ = ProblemsText(lastProblems_, lastErrorCount_);
  if (!lastErrors_.empty() && errorReporter_ != nullptr) {
    errorReporter_->ShowErrors(lastErrors_, lastGameReadableCount_);
  }
  SetModifiedFlag(false);
}

}  // namespace pavaneflow
