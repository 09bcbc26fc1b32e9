#pragma once

#include <cstdint>
#include <string>

namespace pavaneflow {

// Shows the reader's error text once reading has ended: numbered entries such as
// "3行目:'5' には対応していません。", separated by "\r\n". The GUI shows a dialog, the CLI prints
// the lines. `gameReadable` of the problems are read by game timing without a word (0 when the
// file was read in game timing), so the user can be offered that reading.
class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  virtual void ShowErrors(const std::u16string& errorText, std::int64_t gameReadable) = 0;
};

}  // namespace pavaneflow
