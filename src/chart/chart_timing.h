#pragma once

namespace pavaneflow {

// How a chart file is read and timed. Classic keeps one tempo and reads brackets as the first
// readers did; game reads tempo changes, stops and every bracket the way dance games play them.
enum class ChartTiming { kClassic, kGame };

}  // namespace pavaneflow
