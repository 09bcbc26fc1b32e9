#pragma once

#include <string>
#include <string_view>

namespace pavaneflow::cli {

// Appends `text` as a JSON string in UTF-8. Quotes, backslashes and control characters are
// escaped, and so is an unpaired surrogate (as \uXXXX), which has no UTF-8 form.
void AppendJsonString(std::string& out, std::u16string_view text);

// Appends a finite `value` as the shortest text that reads back as the same double ("-12522",
// "0.5"); infinities and NaN become strings as for floats.
void AppendJsonDouble(std::string& out, double value);

// Appends `value` so that it reads back as the same float ("150.5", "1e+38"); infinities and NaN
// have no JSON number and become the strings "inf", "-inf" and "nan".
void AppendJsonFloat(std::string& out, float value);

}  // namespace pavaneflow::cli
