#pragma once

#include <string>

#include <QString>

namespace pavaneflow {

// The operating system's reason for errno value `osError` in the user's language where the
// system has it (Qt takes the locale from the environment); `fallback`, the reason as the core
// worded it, when there is no errno value.
QString OsReason(int osError, const std::string& fallback);

}  // namespace pavaneflow
