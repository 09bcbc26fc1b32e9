#include "app/os_reason.h"

#include <cstring>

namespace pavaneflow {

QString OsReason(int osError, const std::string& fallback) {
  if (osError == 0) return QString::fromStdString(fallback);
  return QString::fromLocal8Bit(std::strerror(osError));
}

}  // namespace pavaneflow
