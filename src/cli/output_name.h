#pragma once

#include "motion/setup/output_name.h"

namespace pavaneflow::cli {

// The application names its files the same way; the naming lives in the core.
using pavaneflow::ChartFileName;
using pavaneflow::kMaxChartNameBytes;
using pavaneflow::SafeChartName;

}  // namespace pavaneflow::cli
