#pragma once

#include <string>

namespace pavaneflow {

// Shows the reader's error text once reading has ended: numbered entries such as
// "3行目:'5' には対応していません。", separated by "\r\n". The GUI shows a dialog, the CLI prints
// the lines.
class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  virtual void ShowErrors(const std::u16string& errorText) = 0;
};

}  // namespace pavaneflow
