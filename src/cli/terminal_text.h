#pragma once

#include <string>
#include <string_view>

namespace pavaneflow::cli {

// `text` as UTF-8 fit for a terminal: the control characters a DWI file may carry (C0 except the
// tab, DEL, C1) are shown as \xNN or \u00NN, so that a file cannot send escape sequences or
// overwrite lines through the messages about it. An unpaired surrogate becomes U+FFFD.
std::string TerminalText(std::u16string_view text);

}  // namespace pavaneflow::cli
