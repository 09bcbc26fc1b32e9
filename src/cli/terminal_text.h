#pragma once

#include <string>
#include <string_view>

#include "chart/dwi_document.h"

namespace pavaneflow::cli {

// `text` as UTF-8 fit for a terminal: the control characters a DWI file may carry (C0 except the
// tab, DEL, C1) are shown as \xNN or \u00NN, so that a file cannot send escape sequences or
// overwrite lines through the messages about it. An unpaired surrogate becomes U+FFFD.
std::string TerminalText(std::u16string_view text);

// Each reading problem of `song`'s last read as one line "<file>: <entry>\n" (ProblemText), and
// the omitted-problems entry last when some were left out.
std::string ReadingProblemLines(std::string_view file, const DWIDocument& song);

}  // namespace pavaneflow::cli
